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
Child race_to_prompt(const termios& settings, int ignored_signal = 0) {
    Child child = Child::on_terminal(kProgram, settings, ignored_signal);
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
        bool ignored;       // ignored from the start, as under nohup: it must stay so
    } cases[] = {{"Ctrl+C", SIGINT, "\x03", false},
                 {"SIGTERM", SIGTERM, nullptr, false},
                 {"SIGHUP", SIGHUP, nullptr, false},
                 {"SIGHUP under nohup", SIGHUP, nullptr, true}};
    for (const auto& c : cases) {
        const termios settings = plain_terminal(/*echo=*/true);
        Child child = race_to_prompt(settings, c.ignored ? c.signal_number : 0);
        if (c.typed != nullptr) {
            child.send(c.typed);
        } else {
            child.signal(c.signal_number);
        }
        if (c.ignored) {
            std::this_thread::sleep_for(Millis(200));
            EXPECT_TRUE(child.running()) << c.name;
            child.send("k");
        }
        child.finish(kRunTime);
        if (c.ignored) {
            EXPECT_TRUE(exited_with(child.status(), 0)) << c.name;
        } else {
            EXPECT_TRUE(WIFSIGNALED(child.status()) && WTERMSIG(child.status()) == c.signal_number)
                << c.name;
        }
        EXPECT_TRUE(same_settings(child.terminal(), settings)) << c.name;
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

// Runs with redirected or broken standard streams, and with the priority change refused: each
// ends on its own with exit code 0, and with the full report wherever the output can be read.
// (The signal runs on a terminal are above: those end by the signal, as its default action says.)
struct FaultRun {
    const char* name;
    Input input;
    Output output;
    bool unprivileged = false;
};

void PrintTo(const FaultRun& run, std::ostream* os) {
    *os << run.name;
}

class FaultRuns : public ::testing::TestWithParam<FaultRun> {};

TEST_P(FaultRuns, EndWithExitCodeZero) {
    const FaultRun& run = GetParam();
    if (run.unprivileged && !can_run_unprivileged(kProgram)) {
        GTEST_SKIP() << "cannot run the program as an unprivileged user here";
    }
    Child child = Child::redirected(kProgram, run.input, run.output, run.unprivileged);
    child.close_input();  // a pipe reaches its end at once
    const std::string output = child.finish(kRunTime);
    EXPECT_TRUE(exited_with(child.status(), 0)) << "wait status " << child.status();
    if (run.output == Output::kPipe) {
        EXPECT_TRUE(is_report(output, "\r\n")) << output;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Redirected, FaultRuns,
    ::testing::Values(FaultRun{"InputFromDevNull", Input::kDevNull, Output::kPipe},
                      FaultRun{"InputFromAnEndedPipe", Input::kPipe, Output::kPipe},
                      FaultRun{"InputClosed", Input::kClosed, Output::kPipe},
                      FaultRun{"OutputToDevFull", Input::kDevNull, Output::kDevFull},
                      FaultRun{"OutputToAPipeWhoseReaderLeft", Input::kDevNull,
                               Output::kPipeClosedByReader},
                      FaultRun{"OutputClosed", Input::kDevNull, Output::kClosed},
                      FaultRun{"PriorityChangeRefused", Input::kDevNull, Output::kPipe, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hexrace::testing
