// Two reference converters for the comparison suite, in the same NUL-terminated shape as the
// race's contestants.
#pragma once

#include <cstdint>

#include "hex_converters.h"

namespace hexrace {

// A loop over a 256-entry table of digit values: value = value x 16 + table[c]. Longer than
// eight digits: the value of the last eight. A byte that is no digit adds 0 but keeps its place
// ("1g" -> 0x10). Empty text -> 0. Reads nothing past the terminator.
HEXRACE_NOINLINE std::uint32_t table_loop_hex(const char* text);

// SWAR: reads eight bytes as one 64-bit word, finds the terminator in it and packs the digits with
// shifts and masks, without a loop or a branch. One to eight digits give their value; longer texts
// give the value of the first eight. Other bytes are not validated and give a value that may
// depend on their neighbours. Empty text -> 0.
// Always reads bytes 0 to 7: give it eight bytes of initialised storage.
HEXRACE_NOINLINE std::uint32_t swar_hex(const char* text);

}  // namespace hexrace
