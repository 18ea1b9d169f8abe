// The POSIX backend's terminal under job control: standard input's settings, changed only while
// this process group owns the terminal and handed back whenever the process stops, ends or has
// read its key. Used by platform_posix.cpp alone.
#pragma once

namespace hexrace::platform::terminal {

enum class Mode { kMuted, kKeys };

// True when standard input is this process's controlling terminal. From the first call that
// finds it so, signal guards hand the terminal back before a signal stops or ends the process.
// A terminal that is not (setsid, its session gone) belongs to others: false, untouched.
bool attach();

// True once attach has found the terminal, until release.
bool attached();

// Wants `mode` on the terminal from now on (muted: no echo; keys: no echo, no line editing), and
// puts it on at once if this process group owns the terminal; with `drop_typed`, whatever was
// typed before is thrown away.
void want(Mode mode, bool drop_typed);

// Called on every poll of the key wait: puts the wanted mode on again where the terminal is ours
// once more, and lets it go where another job owns it now. True when keys may be read.
bool ready_for_keys();

// True when the terminal has gone away (hung up), so no key can come.
bool gone();

// After the key: throws away what is left unread, hands back the settings found and removes
// the guards.
void release();

}  // namespace hexrace::platform::terminal
