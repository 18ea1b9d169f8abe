// The real program, end to end: on a pseudo-terminal as a user sees it, and with redirected input.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
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

TEST(OnTerminal, KeysTypedDuringTheRunNeitherShowNorEndTheWait) {
    const termios settings = plain_terminal(/*echo=*/true);
    Child child = Child::on_terminal(kProgram, settings);
    ASSERT_NE(child.read_until(kReportLabels.front(), kRunTime), "");
    child.send("typed ahead\n");
    child.send("x");
    const std::string report = child.read_until(kPrompt, kRunTime);
    EXPECT_TRUE(is_report(report)) << "an echo garbles the report: " << report;
    ASSERT_TRUE(child.wait_for_terminal(reads_keys, Millis(5000)));
    EXPECT_EQ(child.read_for(Millis(300)), "");
    EXPECT_TRUE(child.running());
    child.send(" ");
    EXPECT_EQ(child.finish(kRunTime), "\r\n");
    EXPECT_TRUE(exited_with(child.status(), 0));
}

TEST(OnTerminal, AKeyOfSeveralBytesIsTakenWhole) {
    // An arrow key, once at once and once with its tail as late as a slow link makes it.
    for (int tail_late_ms : {0, 60}) {
        const termios settings = plain_terminal(/*echo=*/true);
        Child child = race_to_prompt(settings);
        child.send("\x1b");
        std::this_thread::sleep_for(Millis(tail_late_ms));
        child.send("[A");
        EXPECT_EQ(child.finish(kRunTime), "\r\n");
        EXPECT_TRUE(exited_with(child.status(), 0));
        // A line end completes the line, so that the terminal counts a part-line left behind.
        child.send("\n");
        EXPECT_TRUE(child.wait_for_terminal(
            [&](const termios&) { return child.unread_input() > 0; }, Millis(1000)));
        EXPECT_EQ(child.unread_input(), 1) << "part of the key would reach the shell";
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
                 {"SIGHUP under nohup", SIGHUP, nullptr, true},
                 {"SIGUSR1", SIGUSR1, nullptr, false}};
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

// True once `pid` has ended (a zombie until its shell reaps it); polled for up to `timeout`.
bool ends_within(pid_t pid, Millis timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) {
            return true;
        }
        if (line.substr(line.rfind(')') + 1, 3) == " Z ") {
            return true;
        }
        std::this_thread::sleep_for(Millis(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

struct JobControl {
    const char* name;
    const char* command;  // typed after the program's path
    // Once the wait has begun: Ctrl+Z; or SIGSTOP, which the program cannot see coming, after
    // which the shell sets modes of its own.
    enum { kRuns, kCtrlZ, kSigstop } stop;
    enum {
        kForegroundAndKey,
        kSigterm,
        kContinueInTheBackgroundAndTypeAtTheShell,
        kTerminalGone
    } end;
};

void drive_job(const JobControl& c) {
    const termios settings = plain_terminal(/*echo=*/true);
    termios shells = settings;  // what the terminal must hold once the job is gone
    const auto as_shell_left_it = [&](const termios& t) { return same_settings(t, shells); };
    setenv("PS1", "ready> ", 1);
    Child shell = Child::on_terminal("/bin/sh", settings, 0, "-i");
    ASSERT_NE(shell.read_until("ready> ", Millis(5000)), "");
    shell.send(kProgram + std::string(c.command));
    ASSERT_NE(shell.read_until(kPrompt, kRunTime), "");
    if (c.stop != JobControl::kRuns) {
        ASSERT_TRUE(shell.wait_for_terminal(reads_keys, Millis(5000)));
    }
    if (c.stop == JobControl::kCtrlZ) {
        shell.send("\x1a");
        // dash, Debian's sh, leaves the terminal as a stopped job leaves it (bash would not).
        EXPECT_TRUE(shell.wait_for_terminal(as_shell_left_it, Millis(2000)))
            << "stopped, the program must hand the terminal back";
    } else if (c.stop == JobControl::kSigstop) {
        kill(-shell.foreground_group(), SIGSTOP);
        ASSERT_NE(shell.read_until("ready> ", Millis(5000)), "");
        shell.send("stty -icanon -echo erase '^H'\n");
        ASSERT_TRUE(shell.wait_for_terminal([](const termios& t) { return t.c_cc[VERASE] == '\b'; },
                                            Millis(5000)));
        shells = shell.terminal();
    }
    // The job's number ends the line before "listed" (typed-ahead echo may share its line).
    shell.send("jobs -p; echo list''ed\n");
    std::string jobs = shell.read_until("\nlisted\n", Millis(5000));
    ASSERT_NE(jobs, "") << "the shell does not answer";
    jobs.erase(jobs.rfind("\nlisted"));
    const pid_t job = std::atoi(jobs.c_str() + jobs.find_last_not_of("0123456789") + 1);
    ASSERT_GT(job, 0) << "no job listed: " << jobs;
    // Whatever fails below, no job outlives the test.
    const std::unique_ptr<const pid_t, void (*)(const pid_t*)> reaper(&job, [](const pid_t* pid) {
        if (!ends_within(*pid, Millis(0))) {
            kill(*pid, SIGKILL);
        }
    });
    if (c.end == JobControl::kContinueInTheBackgroundAndTypeAtTheShell) {
        // The key waits in the terminal while the shell runs a command that reads nothing.
        shell.send("sleep 1; echo sl''ept\n");
        std::this_thread::sleep_for(Millis(200));
        kill(job, SIGCONT);
        std::this_thread::sleep_for(Millis(200));
        shell.send("\n");
        ASSERT_NE(shell.read_until("slept\n", Millis(5000)), "");
        EXPECT_TRUE(as_shell_left_it(shell.terminal())) << "a job in the background set modes";
    }
    switch (c.end) {
        case JobControl::kForegroundAndKey:
            shell.send("fg\n");
            EXPECT_TRUE(shell.wait_for_terminal(reads_keys, Millis(2000)))
                << "continued, the program must take its key mode again";
            shell.send("k");
            break;
        case JobControl::kSigterm:
        case JobControl::kContinueInTheBackgroundAndTypeAtTheShell:
            kill(job, SIGTERM);
            if (c.stop != JobControl::kRuns) {
                kill(job, SIGCONT);  // as bash's kill does
            }
            break;
        case JobControl::kTerminalGone:
            shell.hang_up();
            EXPECT_TRUE(ends_within(job, Millis(1000))) << "a wait for a key that cannot come";
            return;
    }
    EXPECT_TRUE(ends_within(job, Millis(1000)));
    EXPECT_TRUE(shell.wait_for_terminal(as_shell_left_it, Millis(1000)));
}

// Job control as a user has it: the program as a job of an interactive shell on the terminal. (A
// program that leads its own session is an orphaned process group, where Ctrl+Z does nothing.)
// Whatever happens, a job that does not own the terminal leaves its settings to the one that does.
TEST(UnderAShell, StoppedOrInTheBackgroundTheTerminalIsTheShellsAndSigtermEndsTheWait) {
    const JobControl cases[] = {
        {"Ctrl+Z, fg, one key", "\n", JobControl::kCtrlZ, JobControl::kForegroundAndKey},
        {"Ctrl+Z, then SIGTERM", "\n", JobControl::kCtrlZ, JobControl::kSigterm},
        {"SIGSTOP, the shell's own modes, then SIGTERM", "\n", JobControl::kSigstop,
         JobControl::kSigterm},
        {"SIGSTOP, the shell's own modes, SIGCONT, a key at the shell", "\n", JobControl::kSigstop,
         JobControl::kContinueInTheBackgroundAndTypeAtTheShell},
        {"waiting in the background, SIGTERM", " &\n", JobControl::kRuns, JobControl::kSigterm},
        {"waiting in the background, the terminal closed", " &\n", JobControl::kRuns,
         JobControl::kTerminalGone}};
    for (const JobControl& c : cases) {
        SCOPED_TRACE(c.name);
        drive_job(c);
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
