// Everyone the comparison suite times, in one shape per width: text and its length, value back.
// The race's converters and the reference converters ignore the length; the others are given it
// or a NUL-terminated text, as their users call them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hex_converters.h"

namespace hexrace::bench {

using Converter = std::uint32_t(const char* text, std::size_t length);
using Converter64 = std::uint64_t(const char* text, std::size_t length);

struct Contestant {
    const char* name;
    Converter* convert;
};

struct Contestant64 {
    const char* name;
    Converter64* convert;
};

// Out of line, so every contestant costs the benchmark loop one real call.
HEXRACE_NOINLINE std::uint32_t call_atodw(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_vumo_short(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_pardu_long(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_wefra_short(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_table_loop(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint32_t call_swar(const char* text, std::size_t length);
// std::from_chars over [text, text + length) in base 16; 0 when it reports an error.
HEXRACE_NOINLINE std::uint32_t call_from_chars(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint64_t call_from_chars64(const char* text, std::size_t length);
// hexrace::parse_hex over [text, text + length); 0 when it reports an error.
HEXRACE_NOINLINE std::uint32_t call_parse_hex(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint64_t call_parse_hex64(const char* text, std::size_t length);
// std::strtoul in base 16 (it skips spaces and takes a sign and "0x"). Where unsigned long has 64
// bits the value is truncated to 32; where it has 32, a value past them saturates at ULONG_MAX.
HEXRACE_NOINLINE std::uint32_t call_strtoul(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint64_t call_strtoull(const char* text, std::size_t length);
// std::sscanf with "%x" into an unsigned int.
HEXRACE_NOINLINE std::uint32_t call_sscanf(const char* text, std::size_t length);
// std::stoul with base 16, on a std::string made of the text (that making included), truncated
// as strtoul's value; 0 where it throws.
HEXRACE_NOINLINE std::uint32_t call_stoul(const char* text, std::size_t length);
// std::istringstream >> std::hex into a std::uint32_t, the stream made of the text.
HEXRACE_NOINLINE std::uint32_t call_istringstream(const char* text, std::size_t length);

// Converts nothing and returns the length: what the benchmark loop and one call cost alone.
HEXRACE_NOINLINE std::uint32_t call_nothing(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint64_t call_nothing64(const char* text, std::size_t length);

// absl::SimpleHexAtoi on an absl::string_view of the text; 0 where it reports a failure.
// Present where the build found Abseil (HEXRACE_HAVE_ABSL).
HEXRACE_NOINLINE std::uint32_t call_absl(const char* text, std::size_t length);
HEXRACE_NOINLINE std::uint64_t call_absl64(const char* text, std::size_t length);

inline constexpr Contestant contestants[] = {
    {"atodw", call_atodw},
    {"vumo_short", call_vumo_short},
    {"pardu_long", call_pardu_long},
    {"wefra_short", call_wefra_short},
    {"std::from_chars", call_from_chars},
    {"strtoul", call_strtoul},
    {"table_loop", call_table_loop},
    {"swar", call_swar},
    {"parse_hex", call_parse_hex},
    {"std::sscanf", call_sscanf},
    {"std::stoul", call_stoul},
    {"std::istringstream", call_istringstream},
#if HEXRACE_HAVE_ABSL
    {"absl::SimpleHexAtoi", call_absl},
#endif
};

inline constexpr Contestant64 contestants64[] = {
    {"std::from_chars u64", call_from_chars64},
    {"parse_hex u64", call_parse_hex64},
    {"strtoull", call_strtoull},
#if HEXRACE_HAVE_ABSL
    {"absl::SimpleHexAtoi u64", call_absl64},
#endif
};

// A parser of a whole buffer of '\n'-ended lines into out; returns how many values it wrote, all
// of them when every line is a number.
using BulkParser = std::size_t(const char* first, const char* last, std::uint64_t* out,
                               std::size_t capacity);

struct BulkContestant {
    const char* name;
    BulkParser* parse;
};

std::size_t bulk_parse_hex_list(const char* first, const char* last, std::uint64_t* out,
                                std::size_t capacity);
// The loop a user writes without the list entry: memchr finds each line's end, std::from_chars
// parses the line and must take all of it.
std::size_t bulk_memchr_from_chars(const char* first, const char* last, std::uint64_t* out,
                                   std::size_t capacity);
// The same with std::strtoull, which needs the buffer NUL-terminated.
std::size_t bulk_strtoull(const char* first, const char* last, std::uint64_t* out,
                          std::size_t capacity);
inline constexpr std::size_t kMaxPaths = 4;
template <std::size_t Path>
std::size_t bulk_path(const char* first, const char* last, std::uint64_t* out,
                      std::size_t capacity);

// The list parser's paths as contestants, "parse_hex_list [<path>]", for each path this CPU has.
std::vector<BulkContestant> path_bulk_contestants();

inline constexpr BulkContestant bulk_contestants[] = {
    {"parse_hex_list", bulk_parse_hex_list},
    {"memchr + std::from_chars", bulk_memchr_from_chars},
    {"strtoull", bulk_strtoull},
};

// Where each text lies: zero-padded to this many bytes, so every contestant may read sixteen.
inline constexpr std::size_t kSlotBytes = 32;

// Every bulk contestant: the table's, then the list parser's paths.
std::vector<BulkContestant> all_bulk_contestants();

}  // namespace hexrace::bench
