// What the harness needs of the operating system, in its own words. One backend per OS implements
// these; none of them reports a failure, so callers never check one.
#pragma once

#include <cstdint>

namespace hexrace::platform {

// Raises the process's scheduling priority clearly above normal; if refused, it stays as it was.
void raise_priority();

// Returns the process to the priority it had before raise_priority.
void restore_priority();

// Sleeps at least `milliseconds` before or after a timing; nothing cuts the pause short.
void pause_ms(std::uint32_t milliseconds);

// Sleeps at least `milliseconds` between two key polls.
void poll_sleep_ms(std::uint32_t milliseconds);

// Milliseconds from an arbitrary origin, monotonic, wrapping modulo 2^32.
std::uint32_t tick_count();

// Writes the `count` bytes to standard output, all of them unless an error stops it (a short or
// interrupted write goes on); returns how many were written. A closed reader does not end the
// process.
std::uint32_t write_stdout(const char* bytes, std::uint32_t count);

// Keeps keys typed on a console from being echoed from now until read_key, so that they cannot
// garble the report; they stay pending for discard_pending_input. Nothing to do elsewhere.
void mute_console_input();

// Discards every input pending on standard input and readies it for key reads: on a console,
// keys without echo and without Enter.
void discard_pending_input();

// True when read_key would return at once: a key on a console; on redirected input a byte, end
// of input or an error.
bool key_waiting();

// Reads one key, without echo, and returns its first byte (0-255); a key that sends several bytes
// is consumed whole. Returns -1 at end of input or on an error. Undoes discard_pending_input's
// console settings.
int read_key();

// Ends the process with exit code `code`.
[[noreturn]] void exit_process(int code);

}  // namespace hexrace::platform
