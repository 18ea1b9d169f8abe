// The terminal under job control. The program wants it muted during the run and in key mode during
// the wait, but changes it only while its process group owns it (a stopped or background job
// that wrote its settings would overwrite another job's), and hands back the settings it found
// whenever it stops, ends or has read its key. Signal handlers do the handing back, so everything
// they call is async-signal-safe.
#include "terminal_posix.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>

namespace hexrace::platform::terminal {
namespace {

enum Applied : std::sig_atomic_t { kUntouched, kMuted, kKeys };

// What the main line and the handlers share; the main line changes it only with every signal
// blocked.
struct State {
    termios found{};  // the settings to hand back
    bool found_once = false;
    volatile std::sig_atomic_t wanted = kUntouched;
    volatile std::sig_atomic_t applied = kUntouched;  // the mode on the terminal now
    bool guarded = false;
    bool own_stack = false;
    struct sigaction previous[NSIG];
    bool replaced[NSIG];
};

State state;

// A handler for a stack overflow's SIGSEGV needs a stack of its own to hand the terminal back.
alignas(16) char alternate_stack[1 << 16];

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

bool owns_terminal() {
    return tcgetpgrp(STDIN_FILENO) == getpgrp();
}

// Called only by the owner, with SIGTTOU blocked so that a race with a shell taking the terminal
// can never stop the process inside a handler. Never waits for output to drain (TCSAFLUSH would):
// on a line stalled by flow control, with signals held, nothing could end the process.
void set_terminal(const termios& settings, bool drop_typed) {
    sigset_t ttou, saved;
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    sigprocmask(SIG_BLOCK, &ttou, &saved);
    if (drop_typed) {
        tcflush(STDIN_FILENO, TCIFLUSH);
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &settings);
    sigprocmask(SIG_SETMASK, &saved, nullptr);
}

termios made_from(const termios& found, std::sig_atomic_t mode) {
    termios settings = found;
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    if (mode == kKeys) {
        settings.c_lflag &= ~static_cast<tcflag_t>(ICANON);
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
    }
    return settings;
}

bool same_settings(const termios& a, const termios& b) {
    if (a.c_iflag != b.c_iflag || a.c_oflag != b.c_oflag || a.c_cflag != b.c_cflag ||
        a.c_lflag != b.c_lflag) {
        return false;
    }
    for (std::size_t i = 0; i < NCCS; ++i) {
        if (a.c_cc[i] != b.c_cc[i]) {
            return false;
        }
    }
    return true;
}

// Puts the wanted mode on the terminal if this process group owns it; `again` also where it is on
// already, for a shell that may have changed the settings while the process was stopped. Where
// another job owns it, the terminal is left to that job and taken afresh once it is ours again.
void take(bool again, bool drop_typed) {
    if (state.wanted == kUntouched) {
        return;
    }
    if (!owns_terminal()) {
        state.applied = kUntouched;
        return;
    }
    if (state.applied == state.wanted && !again) {
        return;
    }
    if (state.applied == kUntouched) {
        termios now{};
        if (tcgetattr(STDIN_FILENO, &now) != 0) {
            return;
        }
        // Settings made while the terminal was another's are kept; but a shell that restores a
        // stopped job's settings gives back our own mode, and the found ones stay those to hand
        // back.
        if (!state.found_once || (!same_settings(now, made_from(state.found, kMuted)) &&
                                  !same_settings(now, made_from(state.found, kKeys)))) {
            state.found = now;
            state.found_once = true;
        }
    }
    set_terminal(made_from(state.found, state.wanted), drop_typed);
    state.applied = state.wanted;
}

// Only the owner hands back: a job in the background or stopped would write over the settings of
// the job that has the terminal now. Either way the terminal is no longer in our mode.
void hand_back(bool drop_typed) {
    if (state.applied != kUntouched) {
        if (owns_terminal()) {
            set_terminal(state.found, drop_typed);
        }
        state.applied = kUntouched;
    }
}

extern "C" void hand_back_and_end(int signal_number) {
    state.wanted = kUntouched;  // a SIGCONT delivered before the one re-raised must not retake it
    hand_back(false);
    // SA_RESETHAND has put the default action back; it takes effect once this handler returns.
    raise(signal_number);
}

extern "C" void hand_back_and_stop(int signal_number);
extern "C" void take_again(int);

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
            return take_again;
        default:
            return hand_back_and_end;
    }
}

struct sigaction guard_action(Handler handler) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigfillset(&action.sa_mask);
    // Calls that a stop interrupts go on once continued: a write of the report loses nothing.
    action.sa_flags = SA_ONSTACK | (handler == hand_back_and_end ? SA_RESETHAND : SA_RESTART);
    return action;
}

extern "C" void hand_back_and_stop(int signal_number) {
    const int saved_errno = errno;
    hand_back(false);
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

extern "C" void take_again(int) {
    const int saved_errno = errno;
    take(/*again=*/true, false);
    errno = saved_errno;
}

void install_guards() {
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) != 0) {
        stack_t ours{};
        ours.ss_sp = alternate_stack;
        ours.ss_size = sizeof alternate_stack;
        state.own_stack = sigaltstack(&ours, nullptr) == 0;
    }
    for (int s = 1; s < NSIG; ++s) {
        const Handler handler = guard_for(s);
        // Numbers that are no signal, or that the C library keeps for itself, fail here.
        if (handler == nullptr || sigaction(s, nullptr, &state.previous[s]) != 0) {
            continue;
        }
        // Only default actions are replaced: a signal the program was told to ignore (nohup, a
        // background job) stays ignored, and one that a runtime handles (a sanitizer's SIGSEGV,
        // a profiler's SIGPROF) stays handled.
        if ((state.previous[s].sa_flags & SA_SIGINFO) != 0 ||
            state.previous[s].sa_handler != SIG_DFL) {
            continue;
        }
        const struct sigaction action = guard_action(handler);
        state.replaced[s] = sigaction(s, &action, nullptr) == 0;
    }
    state.guarded = true;
}

void remove_guards() {
    for (int s = 1; s < NSIG; ++s) {
        if (state.replaced[s]) {
            sigaction(s, &state.previous[s], nullptr);
            state.replaced[s] = false;
        }
    }
    if (state.own_stack) {
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        state.own_stack = false;
    }
    state.guarded = false;
}

}  // namespace

bool attach() {
    if (!state.guarded && isatty(STDIN_FILENO) != 0 && tcgetpgrp(STDIN_FILENO) != -1) {
        install_guards();
    }
    return state.guarded;
}

bool attached() {
    return state.guarded;
}

void want(Mode mode, bool drop_typed) {
    const SignalsHeld held;
    state.wanted = mode == Mode::kKeys ? kKeys : kMuted;
    take(/*again=*/false, drop_typed);
}

bool ready_for_keys() {
    const SignalsHeld held;
    // Back in the foreground, whether or not a SIGCONT said so; or no longer, with no signal.
    take(/*again=*/false, false);
    return state.applied == kKeys;
}

bool gone() {
    termios settings{};
    return tcgetattr(STDIN_FILENO, &settings) != 0;
}

void release() {
    const SignalsHeld held;
    state.wanted = kUntouched;
    // Anything still unread goes, so that no part of the key reaches the shell.
    hand_back(/*drop_typed=*/true);
    remove_guards();
}

}  // namespace hexrace::platform::terminal
