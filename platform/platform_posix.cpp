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

// The terminal, when standard input is one. The program wants it muted during the run and in key
// mode during the wait, but puts that mode on only while its process group owns the terminal, and
// hands back the settings it found whenever it stops, ends or has read its key. The handlers below
// share this state, so the main line changes it only with every signal blocked.
enum Mode : std::sig_atomic_t { kUntouched, kMuted, kKeys };
termios found_terminal{};
volatile std::sig_atomic_t wanted = kUntouched;
volatile std::sig_atomic_t applied = kUntouched;  // the mode on the terminal now

bool guards_installed = false;
struct sigaction previous_actions[NSIG];
bool replaced[NSIG] = {};

// Blocks every signal for the life of the object.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t all;
        sigfillset(&all);
        sigprocmask(SIG_BLOCK, &all, &saved_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t saved_;
};

// With SIGTTOU blocked, so that the call can never stop the process: a background process group
// changing the settings would be stopped, inside a signal handler too.
void set_terminal(const termios& settings, int when) {
    sigset_t ttou, saved;
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    sigprocmask(SIG_BLOCK, &ttou, &saved);
    tcsetattr(STDIN_FILENO, when, &settings);
    sigprocmask(SIG_SETMASK, &saved, nullptr);
}

// False while another process group owns the terminal (a shell or its foreground job), or when
// it has none any more (hung up).
bool owns_terminal() {
    return tcgetpgrp(STDIN_FILENO) == getpgrp();
}

// Puts the wanted mode on the terminal if this process may have it; `again` also where it is on
// already, for a shell that may have changed the settings while the process was stopped.
// Async-signal-safe, as everything the handlers call.
void take_terminal(int when, bool again = false) {
    if (wanted == kUntouched || (applied == wanted && !again) || !owns_terminal()) {
        return;
    }
    // Read afresh when the terminal is the user's again: settings made while stopped are kept.
    if (applied == kUntouched && tcgetattr(STDIN_FILENO, &found_terminal) != 0) {
        return;
    }
    termios settings = found_terminal;
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    if (wanted == kKeys) {
        settings.c_lflag &= ~static_cast<tcflag_t>(ICANON);
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
    }
    set_terminal(settings, when);
    applied = wanted;
}

void hand_back_terminal(int when) {
    if (applied != kUntouched) {
        set_terminal(found_terminal, when);
        applied = kUntouched;
    }
}

extern "C" void hand_back_and_end(int signal_number) {
    wanted = kUntouched;  // a SIGCONT delivered before the one re-raised must not retake it
    hand_back_terminal(TCSANOW);
    // SA_RESETHAND has put the default action back; it takes effect once this handler returns.
    raise(signal_number);
}

extern "C" void hand_back_and_stop(int signal_number);
extern "C" void take_terminal_again(int);

// The handler for a signal during the wait: by its default action, one that ends the process or
// stops it hands the terminal back first, and SIGCONT takes it again. Uncatchable signals, those
// ignored by default and SIGPIPE (write_stdout's affair) are left alone.
using Handler = void (*)(int);
Handler guard_for(int signal_number) {
    switch (signal_number) {
        case SIGKILL:
        case SIGSTOP:
        case SIGCHLD:
        case SIGURG:
        case SIGWINCH:
        case SIGPIPE:
#ifdef SIGINFO
        // The BSDs, which have SIGINFO (Ctrl+T), ignore it and SIGIO by default.
        case SIGINFO:
        case SIGIO:
#endif
            return nullptr;
        case SIGTSTP:
        case SIGTTIN:
        case SIGTTOU:
            return hand_back_and_stop;
        case SIGCONT:
            return take_terminal_again;
        default:
            return hand_back_and_end;
    }
}

struct sigaction guard_action(Handler handler) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigfillset(&action.sa_mask);
    // Calls that a stop interrupts go on once continued: a write of the report loses nothing.
    action.sa_flags = handler == hand_back_and_end ? SA_RESETHAND : SA_RESTART;
    return action;
}

extern "C" void hand_back_and_stop(int signal_number) {
    const int saved_errno = errno;
    hand_back_terminal(TCSANOW);
    // Stop as the default action does, right here; once continued, SIGCONT's handler (blocked
    // until this one returns) takes the terminal again.
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigaction(signal_number, &stop, nullptr);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, signal_number);
    raise(signal_number);
    sigprocmask(SIG_UNBLOCK, &just_this, nullptr);  // stops here, until continued
    const struct sigaction ours = guard_action(hand_back_and_stop);
    sigaction(signal_number, &ours, nullptr);
    errno = saved_errno;
}

extern "C" void take_terminal_again(int) {
    const int saved_errno = errno;
    take_terminal(TCSANOW, /*again=*/true);
    errno = saved_errno;
}

void install_guards() {
    for (int s = 1; s < NSIG; ++s) {
        const Handler handler = guard_for(s);
        // Numbers that are no signal, or that the C library keeps for itself, fail here.
        if (handler == nullptr || sigaction(s, nullptr, &previous_actions[s]) != 0) {
            continue;
        }
        // Only default actions are replaced: a signal the program was told to ignore (nohup, a
        // background job) stays ignored, and one that a runtime handles (a sanitizer's SIGSEGV,
        // a profiler's SIGPROF) stays handled.
        if ((previous_actions[s].sa_flags & SA_SIGINFO) != 0 ||
            previous_actions[s].sa_handler != SIG_DFL) {
            continue;
        }
        const struct sigaction action = guard_action(handler);
        replaced[s] = sigaction(s, &action, nullptr) == 0;
    }
    guards_installed = true;
}

void remove_guards() {
    for (int s = 1; s < NSIG; ++s) {
        if (replaced[s]) {
            sigaction(s, &previous_actions[s], nullptr);
            replaced[s] = false;
        }
    }
    guards_installed = false;
}

// Standard input is this process's controlling terminal: the guards are in place from the first
// call that finds it so. A terminal that is not (setsid, its session gone) belongs to others, and
// is read as redirected input, its settings untouched.
bool console_input() {
    if (!guards_installed && isatty(STDIN_FILENO) != 0 && tcgetpgrp(STDIN_FILENO) != -1) {
        install_guards();
    }
    return guards_installed;
}

void want_terminal(Mode mode, int when) {
    const SignalsHeld held;
    wanted = mode;
    take_terminal(when);
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

void mute_console_input() {
    if (console_input()) {
        want_terminal(kMuted, TCSANOW);
    }
}

void discard_pending_input() {
    if (!console_input()) {
        discard_redirected_input();
        return;
    }
    // TCSAFLUSH also throws away whatever was typed during the run.
    want_terminal(kKeys, TCSAFLUSH);
}

bool key_waiting() {
    if (guards_installed) {
        const SignalsHeld held;
        // Back in the foreground, whether or not a SIGCONT said so.
        take_terminal(TCSANOW);
        if (applied != kKeys) {
            // Another job owns the terminal, and what is typed is not for us; but a terminal that
            // is gone (hung up) ends the wait, as read_key finds no more input there.
            termios settings{};
            return tcgetattr(STDIN_FILENO, &settings) != 0;
        }
    }
    return input_ready(0);
}

int read_key() {
    if (!guards_installed) {
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
    const SignalsHeld held;
    wanted = kUntouched;
    // TCSAFLUSH drops anything still unread, so no part of the key reaches the shell.
    hand_back_terminal(TCSAFLUSH);
    remove_guards();
    return n > 0 ? key[0] : -1;
}

void exit_process(int code) {
    std::exit(code);
}

}  // namespace hexrace::platform
