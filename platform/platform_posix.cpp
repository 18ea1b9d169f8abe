// POSIX backend: nice values for priority, CLOCK_MONOTONIC for ticks and pauses, plain reads for
// keys; the terminal's settings under job control are terminal_posix.cpp's.
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "platform.h"
#include "terminal_posix.h"

namespace hexrace::platform {
namespace {

// Nice value for the timings, about where Windows puts its high priority class.
constexpr int kRaisedNice = -10;

int start_nice = 0;
bool start_nice_known = false;

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

// A reader that went away must cost us the output, not the process: EPIPE instead of SIGPIPE.
// Set at the first write and left so, as the program writes until its end; the terminal's
// signal guards leave SIGPIPE alone.
void ignore_sigpipe() {
    static bool ignored = false;
    if (!ignored) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGPIPE, &ignore, nullptr);
        ignored = true;
    }
}

bool is_full(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

// Waits until a non-blocking standard output takes bytes again; false on an error.
bool output_writable() {
    pollfd output{STDOUT_FILENO, POLLOUT, 0};
    int ready;
    do {
        ready = poll(&output, 1, -1);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
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
    ignore_sigpipe();
    // The whole text: a pipe or terminal may take part of it, a signal may interrupt it, and a
    // non-blocking output may be full for a while. Only an error stops it. An empty text is still
    // one write, of nothing.
    std::uint32_t written = 0;
    do {
        const ssize_t n = write(STDOUT_FILENO, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<std::uint32_t>(n);
        } else if (n == 0 || (errno != EINTR && !(is_full(errno) && output_writable()))) {
            break;
        }
    } while (written < count);
    return written;
}

void mute_console_input() {
    if (terminal::attach()) {
        terminal::want(terminal::Mode::kMuted, /*drop_typed=*/false);
    }
}

void discard_pending_input() {
    if (!terminal::attach()) {
        discard_redirected_input();
        return;
    }
    // Whatever was typed during the run goes too.
    terminal::want(terminal::Mode::kKeys, /*drop_typed=*/true);
}

bool key_waiting() {
    // While another job owns the terminal, what is typed is not for us; but a terminal that is
    // gone (hung up) ends the wait, as read_key finds no more input there.
    if (terminal::attached() && !terminal::ready_for_keys()) {
        return terminal::gone();
    }
    return input_ready(0);
}

int read_key() {
    if (!terminal::attached()) {
        unsigned char byte = 0;
        return read_retrying(&byte, 1) == 1 ? byte : -1;
    }
    unsigned char key[16];
    const ssize_t n = read_retrying(key, sizeof key);
    // The rest of an escape sequence (arrows, function keys) can trail its ESC, by tens of
    // milliseconds over a slow link; a lone Esc costs this wait once.
    constexpr unsigned char kEscape = 0x1B;
    constexpr int kEscapeTailMs = 100;
    if (n > 0 && key[0] == kEscape) {
        unsigned char rest[16];
        for (int reads = 0; reads < 8 && input_ready(kEscapeTailMs); ++reads) {
            if (read_retrying(rest, sizeof rest) <= 0) {
                break;
            }
        }
    }
    terminal::release();
    return n > 0 ? key[0] : -1;
}

void exit_process(int code) {
    std::exit(code);
}

}  // namespace hexrace::platform
