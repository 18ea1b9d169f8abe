// Everyone the comparison suite times, in one shape: text and its length, value back. The race's
// converters and the reference converters ignore the length; the library calls are given it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hex_converters.h"

namespace hexrace::bench {

using Converter = std::uint32_t(const char* text, std::size_t length);

struct Contestant {
    const char* name;
    Converter* convert;
};

// Out of line, so every contestant costs the benchmark loop one real call.
HEXRACE_NOINLINE std::uint32_t call_atodw(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_vumo_short(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_pardu_long(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_wefra_short(const char* text, std::size_t length);
// std::from_chars over [text, text + length) in base 16; 0 when it reports an error.
HEXRACE_NOINLINE std::uint32_t call_from_chars(const char* text, std::size_t length);
// std::strtoul in base 16, truncated to 32 bits (it skips spaces and takes a sign and "0x").
HEXRACE_NOINLINE std::uint32_t call_strtoul(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_table_loop(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_swar(const char* text, std::size_t length);

// Converts nothing and returns the length: what the benchmark loop and one call cost alone.
HEXRACE_NOINLINE std::uint32_t call_nothing(const char* text, std::size_t length);

inline constexpr Contestant contestants[] = {
    {"atodw", call_atodw},
    {"vumo_short", call_vumo_short},
    {"pardu_long", call_pardu_long},
    {"wefra_short", call_wefra_short},
    {"std::from_chars", call_from_chars},
    {"strtoul", call_strtoul},
    {"table_loop", call_table_loop},
    {"swar", call_swar},
};

// Where each text lies: zero-padded to this many bytes, so every contestant may read eight.
inline constexpr std::size_t kSlotBytes = 16;

}  // namespace hexrace::bench
