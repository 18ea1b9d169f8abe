// Contestants' calls built in files of their own: Abseil's (where the build found it), and
// parse_hex with the portable kernel (a file built with HEXRACE_PARSE_PORTABLE).
#pragma once

#include <cstddef>
#include <cstdint>

#include "hex_converters.h"

namespace hexrace::bench {

// absl::SimpleHexAtoi on an absl::string_view of the text; 0 where it reports a failure.
HEXRACE_NOINLINE std::uint32_t call_absl(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint64_t call_absl64(const char* text, std::size_t length);

// parse_hex over [text, text + length) with the portable kernel; 0 on an error.
HEXRACE_NOINLINE std::uint32_t call_parse_hex_portable32(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint64_t call_parse_hex_portable64(const char* text, std::size_t length);

// True where the portable kernel is what parse_hex takes anyway.
bool parse_portable_is_default();

}  // namespace hexrace::bench
