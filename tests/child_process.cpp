#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

namespace hexrace::testing {
namespace {

using Clock = std::chrono::steady_clock;

void must(bool ok, const char* what) {
    if (!ok) {
        std::perror(what);
        std::abort();
    }
}

[[noreturn]] void exec_program(const char* program, const char* argument = nullptr) {
    execl(program, program, argument, static_cast<char*>(nullptr));
    _exit(127);
}

void put_on(int fd, int target) {
    if (fd < 0) {
        close(target);
    } else if (fd != target) {
        dup2(fd, target);
        close(fd);
    }
}

}  // namespace

termios plain_terminal(bool echo) {
    int master = -1, slave = -1;
    must(openpty(&master, &slave, nullptr, nullptr, nullptr) == 0, "openpty");
    termios settings{};
    tcgetattr(slave, &settings);
    close(master);
    close(slave);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag |= ICANON | ISIG;
    if (echo) {
        settings.c_lflag |= ECHO;
    } else {
        settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    }
    return settings;
}

bool same_settings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

Child Child::on_terminal(const char* program, const termios& settings, int ignored_signal,
                         const char* argument) {
    Child child;
    termios initial = settings;
    must(openpty(&child.output_, &child.terminal_, nullptr, &initial, nullptr) == 0, "openpty");
    child.input_ = child.output_;
    child.pid_ = fork();
    must(child.pid_ >= 0, "fork");
    if (child.pid_ == 0) {
        setsid();
        ioctl(child.terminal_, TIOCSCTTY, 0);
        for (int target : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
            dup2(child.terminal_, target);
        }
        close(child.terminal_);
        close(child.output_);
        if (ignored_signal != 0) {
            ::signal(ignored_signal, SIG_IGN);
        }
        exec_program(program, argument);
    }
    return child;
}

namespace {

bool drop_privileges() {
    return setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

}  // namespace

bool can_run_unprivileged(const char* program) {
    if (geteuid() != 0) {
        return false;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(drop_privileges() && access(program, X_OK) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Child Child::redirected(const char* program, Input input, Output output, bool unprivileged) {
    Child child;
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    if (input == Input::kPipe) {
        must(pipe(in) == 0, "pipe");
    }
    if (output == Output::kPipe || output == Output::kPipeClosedByReader) {
        must(pipe(out) == 0, "pipe");
    }
    child.pid_ = fork();
    must(child.pid_ >= 0, "fork");
    if (child.pid_ == 0) {
        int stdin_fd = in[0];
        if (input == Input::kDevNull) {
            stdin_fd = open("/dev/null", O_RDONLY);
        }
        int stdout_fd = out[1];
        if (output == Output::kDevFull) {
            stdout_fd = open("/dev/full", O_WRONLY);
        }
        if (in[1] >= 0) {
            close(in[1]);
        }
        if (out[0] >= 0) {
            close(out[0]);
        }
        put_on(stdin_fd, STDIN_FILENO);
        put_on(stdout_fd, STDOUT_FILENO);
        if (unprivileged && !drop_privileges()) {
            _exit(126);
        }
        exec_program(program);
    }
    if (in[0] >= 0) {
        close(in[0]);
    }
    if (out[1] >= 0) {
        close(out[1]);
    }
    child.input_ = in[1];
    child.output_ = out[0];
    if (output == Output::kPipeClosedByReader) {
        close(child.output_);
        child.output_ = -1;
    }
    return child;
}

Child::Child(Child&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      output_(std::exchange(other.output_, -1)),
      input_(std::exchange(other.input_, -1)),
      terminal_(std::exchange(other.terminal_, -1)),
      status_(other.status_),
      output_text_(std::move(other.output_text_)),
      consumed_(other.consumed_) {}

Child::~Child() {
    if (pid_ > 0 && running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    for (int fd : {output_, input_ == output_ ? -1 : input_, terminal_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

std::size_t Child::read_available(Millis timeout) {
    if (output_ < 0) {
        return 0;
    }
    pollfd p{output_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) {
        return 0;
    }
    char buffer[4096];
    const ssize_t n = read(output_, buffer, sizeof buffer);
    if (n <= 0) {
        return 0;
    }
    output_text_.append(buffer, static_cast<std::size_t>(n));
    return static_cast<std::size_t>(n);
}

std::string Child::read_until(std::string_view marker, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    std::size_t found;
    while ((found = output_text_.find(marker, consumed_)) == std::string::npos) {
        if (Clock::now() >= deadline) {
            return "";
        }
        read_available(Millis(20));
    }
    consumed_ = found + marker.size();
    return output_text_.substr(0, consumed_);
}

std::string Child::read_for(Millis wait) {
    const auto deadline = Clock::now() + wait;
    while (Clock::now() < deadline) {
        read_available(Millis(10));
    }
    std::string fresh = output_text_.substr(consumed_);
    consumed_ = output_text_.size();
    return fresh;
}

std::string Child::finish(Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    while (running()) {
        read_available(Millis(5));
        if (Clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
            pid_ = -1;
            status_ = -1;
            break;
        }
    }
    while (read_available(Millis(0)) > 0) {
    }
    std::string rest = output_text_.substr(consumed_);
    consumed_ = output_text_.size();
    return rest;
}

void Child::send(std::string_view bytes) const {
    must(write(input_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()), "write");
}

void Child::close_input() {
    if (input_ >= 0 && input_ != output_) {
        close(input_);
    }
    input_ = -1;
}

bool Child::wait_for_terminal(const std::function<bool(const termios&)>& ready,
                              Millis timeout) const {
    const auto deadline = Clock::now() + timeout;
    while (!ready(terminal())) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(Millis(2));
    }
    return true;
}

termios Child::terminal() const {
    termios settings{};
    tcgetattr(terminal_, &settings);
    return settings;
}

int Child::unread_input() const {
    int count = 0;
    ioctl(terminal_, FIONREAD, &count);
    return count;
}

bool Child::running() {
    if (pid_ <= 0) {
        return false;
    }
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

void Child::signal(int signal_number) const {
    kill(pid_, signal_number);
}

pid_t Child::foreground_group() const {
    return tcgetpgrp(output_);  // the master side answers for the terminal
}

void Child::hang_up() {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
    pid_ = -1;
    for (int* fd : {&output_, &terminal_}) {
        close(*fd);
        *fd = -1;
    }
    input_ = -1;
}

}  // namespace hexrace::testing
