// parse_hex as built with each kernel this build has: the caller's own, and the portable one from a
// file built to take it.
#pragma once

#include <charconv>

namespace hexrace::testing {

template <typename T>
std::from_chars_result parse_hex_portable(const char* first, const char* last, T& value);

using ParseU32 = std::from_chars_result(const char*, const char*, unsigned&) noexcept;
// The portable file's own parse_hex<unsigned>: a definition apart from the SSE2 kernel's.
ParseU32* portable_parse_hex_u32();

}  // namespace hexrace::testing
