// POSIX backend: nice values for priority, CLOCK_MONOTONIC for ticks and pauses, termios for keys.
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iterator>

#include "platform.h"

namespace hexrace::platform {
namespace {

// Nice value for the timings, about where Windows puts its high priority class.
constexpr int kRaisedNice = -10;

int start_nice = 0;
bool start_nice_known = false;

// The terminal as it was before the key wait, restored on every way out of it.
termios saved_terminal{};
volatile std::sig_atomic_t terminal_changed = 0;

// Signals that end the process during the wait; the terminal is restored before they take effect.
constexpr int kTerminatingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previous_actions[std::size(kTerminatingSignals)];

extern "C" void restore_terminal_and_reraise(int signal_number) {
    if (terminal_changed != 0) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
    }
    // SA_RESETHAND has put the default action back; it takes effect once this handler returns.
    raise(signal_number);
}

void install_terminal_guards() {
    struct sigaction action {};
    action.sa_handler = restore_terminal_and_reraise;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kTerminatingSignals); ++i) {
        sigaction(kTerminatingSignals[i], nullptr, &previous_actions[i]);
        // A signal the program was told to ignore (nohup, a background job) stays ignored.
        if (previous_actions[i].sa_handler != SIG_IGN) {
            sigaction(kTerminatingSignals[i], &action, nullptr);
        }
    }
}

void remove_terminal_guards() {
    for (std::size_t i = 0; i < std::size(kTerminatingSignals); ++i) {
        sigaction(kTerminatingSignals[i], &previous_actions[i], nullptr);
    }
}

ssize_t read_retrying(void* buffer, std::size_t size) {
    ssize_t n;
    do {
        n = read(STDIN_FILENO, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

// Waits up to `timeout_ms` for input; true when a read would not block.
bool input_ready(int timeout_ms) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&input, 1, timeout_ms);
    return ready > 0 || (ready < 0 && errno != EINTR);
}

// Discards what is pending now and no more, so a writer that never stops cannot hold us here.
void discard_redirected_input() {
    struct stat status {};
    if (fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode)) {
        lseek(STDIN_FILENO, 0, SEEK_END);
        return;
    }
    int pending = 0;
    if (ioctl(STDIN_FILENO, FIONREAD, &pending) != 0) {
        return;
    }
    char sink[512];
    while (pending > 0) {
        const ssize_t n =
            read_retrying(sink, std::min(sizeof sink, static_cast<std::size_t>(pending)));
        if (n <= 0) {
            return;
        }
        pending -= static_cast<int>(n);
    }
}

timespec now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

void sleep_ms(std::uint32_t milliseconds) {
    timespec deadline = now();
    deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1'000'000L;
    if (deadline.tv_nsec >= 1'000'000'000L) {
        deadline.tv_nsec -= 1'000'000'000L;
        ++deadline.tv_sec;
    }
    // An absolute deadline lets an interrupted sleep resume without drifting.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace

void raise_priority() {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    if (errno != 0) {
        return;
    }
    start_nice = nice;
    start_nice_known = true;
    // Unprivileged, this fails with EACCES and the timings run at the current priority.
    setpriority(PRIO_PROCESS, 0, std::min(nice, kRaisedNice));
}

void restore_priority() {
    if (start_nice_known) {
        setpriority(PRIO_PROCESS, 0, start_nice);
    }
}

void pause_ms(std::uint32_t milliseconds) {
    sleep_ms(milliseconds);
}

void poll_sleep_ms(std::uint32_t milliseconds) {
    sleep_ms(milliseconds);
}

std::uint32_t tick_count() {
    const timespec t = now();
    const auto ms = static_cast<std::uint64_t>(t.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(t.tv_nsec) / 1'000'000u;
    return static_cast<std::uint32_t>(ms);
}

std::uint32_t write_stdout(const char* bytes, std::uint32_t count) {
    // A reader that went away must cost us the output, not the process: take EPIPE, not SIGPIPE.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
    const ssize_t written = write(STDOUT_FILENO, bytes, count);
    return written < 0 ? 0 : static_cast<std::uint32_t>(written);
}

void discard_pending_input() {
    if (isatty(STDIN_FILENO) == 0 || tcgetattr(STDIN_FILENO, &saved_terminal) != 0) {
        discard_redirected_input();
        return;
    }
    install_terminal_guards();
    termios keys = saved_terminal;
    keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    terminal_changed = 1;
    // TCSAFLUSH also throws away whatever was typed during the run.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &keys);
}

bool key_waiting() {
    return input_ready(0);
}

int read_key() {
    if (terminal_changed == 0) {
        unsigned char byte = 0;
        return read_retrying(&byte, 1) == 1 ? byte : -1;
    }
    unsigned char key[16];
    const ssize_t n = read_retrying(key, sizeof key);
    // The rest of an escape sequence (arrows, function keys) can trail its ESC by a moment.
    constexpr unsigned char kEscape = 0x1B;
    if (n > 0 && key[0] == kEscape) {
        unsigned char rest[16];
        for (int reads = 0; reads < 8 && input_ready(25); ++reads) {
            if (read_retrying(rest, sizeof rest) <= 0) {
                break;
            }
        }
    }
    // TCSAFLUSH drops anything still unread, so no part of the key reaches the shell.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_terminal);
    terminal_changed = 0;
    remove_terminal_guards();
    return n > 0 ? key[0] : -1;
}

void exit_process(int code) {
    std::exit(code);
}

}  // namespace hexrace::platform
