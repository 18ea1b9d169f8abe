// The real program, end to end: on a pseudo-terminal as a user sees it, and with redirected input.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "child_process.h"
#include "report.h"

namespace hexrace::testing {
namespace {

const char* const kProgram = HEXRACE_PROGRAM;
// Generous: the race takes a few seconds, more under sanitizers.
constexpr Millis kRunTime{120'000};

bool reads_keys(const termios& t) {
    return (t.c_lflag & (ICANON | ECHO)) == 0;
}

// Starts the race on a terminal and reads up to the prompt, checking the report's shape.
Child race_to_prompt(const termios& settings) {
    Child child = Child::on_terminal(kProgram, settings);
    const std::string report = child.read_until(kPrompt, kRunTime);
    EXPECT_TRUE(is_report(report)) << report;
    EXPECT_TRUE(child.wait_for_terminal(reads_keys, Millis(5000)));
    return child;
}

bool exited_with(int status, int code) {
    return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

TEST(OnTerminal, ReportsThenWaitsForOneKeyWithoutEchoAndRestoresTheTerminal) {
    const termios settings = plain_terminal(/*echo=*/true);
    Child child = race_to_prompt(settings);
    EXPECT_EQ(child.read_for(Millis(300)), "") << "nothing may follow the prompt before a key";
    EXPECT_TRUE(child.running());
    child.send("q");
    EXPECT_EQ(child.finish(kRunTime), "\r\n") << "the key is neither echoed nor waits for Enter";
    EXPECT_TRUE(exited_with(child.status(), 0));
    EXPECT_TRUE(same_settings(child.terminal(), settings));
}

TEST(OnTerminal, KeysTypedDuringTheRunDoNotEndTheWait) {
    const termios settings = plain_terminal(/*echo=*/false);
    Child child = Child::on_terminal(kProgram, settings);
    ASSERT_NE(child.read_until(kReportLabels.front(), kRunTime), "");
    child.send("typed ahead\n");
    child.send("x");
    ASSERT_NE(child.read_until(kPrompt, kRunTime), "");
    ASSERT_TRUE(child.wait_for_terminal(reads_keys, Millis(5000)));
    EXPECT_EQ(child.read_for(Millis(300)), "");
    EXPECT_TRUE(child.running());
    child.send(" ");
    EXPECT_EQ(child.finish(kRunTime), "\r\n");
    EXPECT_TRUE(exited_with(child.status(), 0));
}

TEST(OnTerminal, AKeyOfSeveralBytesIsTakenWhole) {
    // An arrow key, once at once and once with its tail a moment late.
    for (bool split : {false, true}) {
        const termios settings = plain_terminal(/*echo=*/true);
        Child child = race_to_prompt(settings);
        if (split) {
            child.send("\x1b");
            std::this_thread::sleep_for(Millis(5));
            child.send("[A");
        } else {
            child.send("\x1b[A");
        }
        EXPECT_EQ(child.finish(kRunTime), "\r\n");
        EXPECT_TRUE(exited_with(child.status(), 0));
        EXPECT_EQ(child.unread_input(), 0) << "part of the key would reach the shell";
        EXPECT_TRUE(same_settings(child.terminal(), settings));
    }
}

TEST(OnTerminal, SignalsDuringTheWaitRestoreTheTerminalBeforeTheyEndIt) {
    const struct {
        const char* name;
        int signal_number;
        const char* typed;  // sent as keys instead of a kill, when set
    } cases[] = {
        {"Ctrl+C", SIGINT, "\x03"}, {"SIGTERM", SIGTERM, nullptr}, {"SIGHUP", SIGHUP, nullptr}};
    for (const auto& c : cases) {
        const termios settings = plain_terminal(/*echo=*/true);
        Child child = race_to_prompt(settings);
        if (c.typed != nullptr) {
            child.send(c.typed);
        } else {
            child.signal(c.signal_number);
        }
        child.finish(kRunTime);
        EXPECT_TRUE(WIFSIGNALED(child.status()) && WTERMSIG(child.status()) == c.signal_number)
            << c.name;
        EXPECT_TRUE(same_settings(child.terminal(), settings)) << c.name;
    }
}

// With input that is no terminal the program never hangs: pending input is dropped, then the
// next byte or the end of input ends the wait.
TEST(Redirected, EndsWithTheFullReportWhateverTheInput) {
    for (Input input : {Input::kDevNull, Input::kPipe, Input::kClosed}) {
        Child child = Child::redirected(kProgram, input, Output::kPipe);
        child.close_input();  // a pipe reaches its end at once
        const std::string output = child.finish(kRunTime);
        EXPECT_TRUE(is_report(output, "\r\n")) << static_cast<int>(input) << ": " << output;
        EXPECT_TRUE(exited_with(child.status(), 0)) << static_cast<int>(input);
    }
}

TEST(Redirected, InputPendingBeforeTheWaitIsDiscardedAndTheNextByteEndsIt) {
    Child child = Child::redirected(kProgram, Input::kPipe, Output::kPipe);
    child.send("typed during the run\n");
    ASSERT_NE(child.read_until(kPrompt, kRunTime), "");
    EXPECT_EQ(child.read_for(Millis(300)), "");
    EXPECT_TRUE(child.running());
    child.send("k");
    EXPECT_EQ(child.finish(kRunTime), "\r\n");
    EXPECT_TRUE(exited_with(child.status(), 0));
}

TEST(Redirected, AReaderThatLeavesEarlyDoesNotKillTheProgram) {
    Child child = Child::redirected(kProgram, Input::kDevNull, Output::kPipeClosedByReader);
    child.finish(kRunTime);
    EXPECT_TRUE(exited_with(child.status(), 0)) << "status " << child.status();
}

}  // namespace
}  // namespace hexrace::testing
