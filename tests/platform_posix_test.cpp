#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "platform.h"

namespace hexrace::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Puts `replacement` on descriptor `target` for the life of the object; -1 closes `target`.
class FdSwap {
public:
    FdSwap(int target, int replacement) : target_(target), saved_(dup(target)) {
        if (replacement < 0) {
            close(target_);
        } else {
            dup2(replacement, target_);
        }
    }
    ~FdSwap() {
        dup2(saved_, target_);
        close(saved_);
    }
    FdSwap(const FdSwap&) = delete;
    FdSwap& operator=(const FdSwap&) = delete;

private:
    int target_;
    int saved_;
};

struct Pipe {
    int read = -1, write = -1;
    Pipe() {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        read = fds[0];
        write = fds[1];
    }
    ~Pipe() {
        close_read();
        close_write();
    }
    void close_read() { read = (read >= 0 ? close(read), -1 : -1); }
    void close_write() { write = (write >= 0 ? close(write), -1 : -1); }
    void put(const std::string& bytes) const {
        ASSERT_EQ(::write(write, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
};

// SIGALRM every millisecond for the life of the object, with a handler that makes no call
// restart: each one interrupts whatever blocks the main thread.
class Interruptions {
public:
    Interruptions() {
        struct sigaction on_alarm {};
        on_alarm.sa_handler = [](int) {};
        sigaction(SIGALRM, &on_alarm, &saved_);
        const itimerval every_ms{{0, 1000}, {0, 1000}};
        setitimer(ITIMER_REAL, &every_ms, nullptr);
    }
    ~Interruptions() {
        const itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
        sigaction(SIGALRM, &saved_, nullptr);
    }
    Interruptions(const Interruptions&) = delete;
    Interruptions& operator=(const Interruptions&) = delete;

private:
    struct sigaction saved_ {};
};

TEST(Pause, LastsItsTimeEvenWhenSignalsArrive) {
    const Interruptions interruptions;
    for (auto pause : {platform::pause_ms, platform::poll_sleep_ms}) {
        const auto start = Clock::now();
        pause(60);
        EXPECT_GE(Clock::now() - start, 60ms);
    }
}

TEST(TickCount, CountsMillisecondsMonotonically) {
    const std::uint32_t t0 = platform::tick_count();
    platform::pause_ms(30);
    const std::uint32_t t1 = platform::tick_count();
    EXPECT_GE(t1 - t0, 30u);
    EXPECT_LT(t1 - t0, 60'000u);  // not some other unit
}

// Every byte arrives, however the output takes them: a reader that takes small pieces slowly
// fills the pipe, so that writes come back short, interrupted, or refused for a while.
TEST(WriteStdout, WritesEveryByteAndReportsTheCount) {
    const struct {
        const char* name;
        std::size_t size;
        bool non_blocking;
        bool interrupted;
    } cases[] = {
        {"a few bytes", 6, false, false},
        {"more than a pipe holds, non-blocking", 1 << 20, true, false},
        {"more than a pipe holds, signals arriving", 1 << 20, false, true},
    };
    for (const auto& c : cases) {
        std::string text(c.size, '\0');
        for (std::size_t i = 0; i < c.size; ++i) {
            text[i] = static_cast<char>(i + i / 251);
        }
        Pipe out;
        if (c.non_blocking) {
            fcntl(out.write, F_SETFL, fcntl(out.write, F_GETFL) | O_NONBLOCK);
        }
        std::string got;
        std::thread reader([&] {
            sigset_t alarm;
            sigemptyset(&alarm);
            sigaddset(&alarm, SIGALRM);
            pthread_sigmask(SIG_BLOCK, &alarm, nullptr);  // the writer is to be interrupted
            char piece[256];
            for (ssize_t n; (n = read(out.read, piece, sizeof piece)) > 0;) {
                got.append(piece, static_cast<std::size_t>(n));
                std::this_thread::sleep_for(20us);
            }
        });
        std::uint32_t written = 0;
        {
            std::optional<Interruptions> interruptions;
            if (c.interrupted) {
                interruptions.emplace();
            }
            FdSwap swap(STDOUT_FILENO, out.write);
            written = platform::write_stdout(text.data(), static_cast<std::uint32_t>(c.size));
        }
        out.close_write();
        reader.join();
        EXPECT_EQ(written, c.size) << c.name;
        EXPECT_TRUE(got == text) << c.name << ": " << got.size() << " bytes arrived, or others";
    }
}

TEST(WriteStdout, SurvivesAClosedReaderAndReportsNothingWritten) {
    Pipe out;
    out.close_read();
    FdSwap swap(STDOUT_FILENO, out.write);
    EXPECT_EQ(platform::write_stdout("lost", 4), 0u);  // EPIPE, and no SIGPIPE death
}

// The key wait on input that is no terminal: what is pending is dropped, the next byte or the end
// of input ends the wait.
TEST(RedirectedInput, PendingBytesAreDiscardedAndTheNextByteIsTheKey) {
    Pipe in;
    in.put("typed during the run");
    FdSwap swap(STDIN_FILENO, in.read);
    platform::discard_pending_input();
    EXPECT_FALSE(platform::key_waiting());
    in.put("xy");
    EXPECT_TRUE(platform::key_waiting());
    EXPECT_EQ(platform::read_key(), 'x');
    EXPECT_EQ(platform::read_key(), 'y');  // one byte per key: nothing more is consumed
}

TEST(RedirectedInput, EndOfInputOrAnErrorEndsTheWaitAtOnce) {
    Pipe ended;
    ended.put("pending");
    ended.close_write();
    char file_name[] = "/tmp/hexrace-input-XXXXXX";
    const int file = mkstemp(file_name);
    ASSERT_GE(file, 0);
    ASSERT_EQ(write(file, "abc", 3), 3);
    lseek(file, 0, SEEK_SET);
    unlink(file_name);
    const int null = open("/dev/null", O_RDONLY);

    const struct {
        const char* name;
        int fd;
    } inputs[] = {
        {"closed pipe", ended.read}, {"file", file}, {"/dev/null", null}, {"no input", -1}};
    for (const auto& input : inputs) {
        FdSwap swap(STDIN_FILENO, input.fd);
        platform::discard_pending_input();
        EXPECT_TRUE(platform::key_waiting()) << input.name;
        EXPECT_EQ(platform::read_key(), -1) << input.name;
    }
    close(file);
    close(null);
}

TEST(RedirectedInput, AWriterThatNeverStopsCannotHoldTheDiscard) {
    signal(SIGPIPE, SIG_IGN);  // the writer meets a closed pipe at the end
    Pipe in;
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        while (!stop) {
            (void)write(in.write, "y\n", 2);
        }
    });
    {
        FdSwap swap(STDIN_FILENO, in.read);
        platform::discard_pending_input();  // returns: the test would time out otherwise
        while (!platform::key_waiting()) {
            platform::poll_sleep_ms(1);
        }
        EXPECT_EQ(platform::read_key(), 'y');
    }
    stop = true;
    in.close_read();  // frees a writer blocked on a full pipe (EPIPE)
    writer.join();
}

// Runs `body` in a child process and returns its exit code, so priority changes stay there.
template <typename Body>
int in_child(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(Priority, IsRaisedWhenAllowedAndRestoredToWhereItStarted) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "raising the priority needs privilege";
    }
    EXPECT_EQ(in_child([] {
                  setpriority(PRIO_PROCESS, 0, 3);
                  platform::raise_priority();
                  const int raised = getpriority(PRIO_PROCESS, 0);
                  platform::restore_priority();
                  const int restored = getpriority(PRIO_PROCESS, 0);
                  return (raised < 0 ? 0 : 1) + (restored == 3 ? 0 : 2);
              }),
              0);
}

TEST(Priority, AnUnprivilegedRaiseLeavesThePriorityAsItWas) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to drop to an unprivileged user";
    }
    EXPECT_EQ(in_child([] {
                  if (setgid(65534) != 0 || setuid(65534) != 0) {
                      return 9;
                  }
                  const int start = getpriority(PRIO_PROCESS, 0);
                  platform::raise_priority();
                  const int after_raise = getpriority(PRIO_PROCESS, 0);
                  platform::restore_priority();
                  return (after_raise == start ? 0 : 1) +
                         (getpriority(PRIO_PROCESS, 0) == start ? 0 : 2);
              }),
              0);
}

}  // namespace
}  // namespace hexrace::testing
