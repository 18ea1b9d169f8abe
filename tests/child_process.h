// The real program as a child process, on a pseudo-terminal or with redirected standard streams.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace hexrace::testing {

using Millis = std::chrono::milliseconds;

// Where the child's standard input comes from when it is no terminal.
enum class Input { kDevNull, kPipe, kClosed };

// Where the child's standard output goes when it is no terminal.
enum class Output { kPipe, kPipeClosedByReader, kDevFull, kClosed };

// Terminal settings of a fresh pseudo-terminal, with output processing off so bytes arrive as
// written, and echo as asked.
termios plain_terminal(bool echo);

// The user and group an unprivileged child runs as.
inline constexpr unsigned kNobody = 65534;

// True when this process may drop to kNobody and kNobody may run `program`.
bool can_run_unprivileged(const char* program);

// True when the two settings agree in every flag and control character.
bool same_settings(const termios& a, const termios& b);

class Child {
public:
    // Starts `program` (with `argument`, if given) as the session leader of a new pseudo-terminal
    // with `settings`, with `ignored_signal` (if not 0) ignored as nohup would.
    static Child on_terminal(const char* program, const termios& settings, int ignored_signal = 0,
                             const char* argument = nullptr);
    // Starts `program` with standard input and output redirected; standard error is inherited.
    // With `unprivileged`, the child runs as the user and group nobody (65534): needs root.
    static Child redirected(const char* program, Input input, Output output,
                            bool unprivileged = false);

    Child(Child&& other) noexcept;
    ~Child();

    // Reads output until `marker` follows what was read before; returns all output up to the end
    // of `marker` ("" on timeout).
    std::string read_until(std::string_view marker, Millis timeout);
    // Waits for the child to end and returns the output that followed what was read before.
    std::string finish(Millis timeout);
    // Output that arrives within `wait`, without waiting for the child to end.
    std::string read_for(Millis wait);

    // Types `bytes` on the terminal, or writes them to the input pipe.
    void send(std::string_view bytes) const;
    void close_input();
    // Waits until the terminal's settings satisfy `ready`; false on timeout.
    bool wait_for_terminal(const std::function<bool(const termios&)>& ready, Millis timeout) const;
    termios terminal() const;
    // Bytes typed on the terminal that nobody has read.
    int unread_input() const;

    bool running();
    void signal(int signal_number) const;
    // The process group in the terminal's foreground (a shell's job, for one).
    pid_t foreground_group() const;
    // Kills the child, so that no shell is left to hang up its jobs, and closes the terminal.
    void hang_up();
    // The wait status once finish has returned.
    int status() const { return status_; }

private:
    Child() = default;
    std::size_t read_available(Millis timeout);

    pid_t pid_ = -1;
    int output_ = -1;    // stdout pipe or pty master
    int input_ = -1;     // stdin pipe's write end, or the pty master again
    int terminal_ = -1;  // pty slave, kept open to read its settings
    int status_ = -1;
    std::string output_text_;
    std::size_t consumed_ = 0;
};

}  // namespace hexrace::testing
