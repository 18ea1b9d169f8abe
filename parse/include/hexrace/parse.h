// SPDX-License-Identifier: MIT
// hexrace::parse: validated hexadecimal parsing, exactly as strict as std::from_chars in base 16.
// Digits are 0-9, a-f and A-F; no "0x", no white space, no "+"; a "-" only for signed types, as
// std::from_chars takes it. Every function reads only the bytes of [first, last), never one outside
// it, writes only what its contract names, keeps no state and is safe to call from any thread.
//
// parse_hex is defined inline in this header (the definitions come at its end), so that the
// compiler puts it in the caller as it does std::from_chars; the list functions are in the
// library. The header needs C++17; parse_hex in a constant expression needs C++20.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "hexrace/detail/config.h"

namespace hexrace {

namespace parse_detail {
// The types std::from_chars takes: every integer type but bool and the character types other
// than char.
template <typename T>
inline constexpr bool is_parse_type =
    std::is_same_v<T, char> || std::is_same_v<T, signed char> || std::is_same_v<T, unsigned char> ||
    std::is_same_v<T, short> || std::is_same_v<T, unsigned short> || std::is_same_v<T, int> ||
    std::is_same_v<T, unsigned> || std::is_same_v<T, long> || std::is_same_v<T, unsigned long> ||
    std::is_same_v<T, long long> || std::is_same_v<T, unsigned long long>;
}  // namespace parse_detail

inline namespace HEXRACE_PARSE_ABI {

// Parses the number at the start of [first, last) into `value`, with the result that
// std::from_chars(first, last, value, 16) gives, for every input: ptr past the last digit; any
// number of leading zeros; for a signed type, one "-" before the digits (not "+"), down to the
// type's minimum, "-0" being 0; errc::invalid_argument and ptr == first when no digit starts the
// text (after the "-"); errc::result_out_of_range and ptr past all the digits when their value
// does not fit the type. On either error `value` is left untouched.
template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int> = 0>
constexpr std::from_chars_result parse_hex(const char* first, const char* last, T& value) noexcept;

// The same over `text`; ptr points into it.
template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int> = 0>
constexpr std::from_chars_result parse_hex(std::string_view text, T& value) noexcept;

}  // namespace HEXRACE_PARSE_ABI

// What parse_hex_list did: `count` values written, and where and why it stopped.
struct HexListResult {
    const char* ptr;  // `last` once every token is parsed; otherwise the byte it stopped at
    std::errc ec;     // errc{} once every token is parsed
    std::size_t count;
};

// Parses a list of numbers, each a token of one or more digits (any number of leading zeros)
// followed by one `delimiter` byte, into out[0], out[1], ...; the last token may end at `last`
// instead, so "1f\n2\n" and "1f\n2" both give {0x1F, 0x2}, and an empty text gives none.
// It stops at the first token it cannot take, keeping the values before it, with
// - errc::invalid_argument and ptr at the token when the token is empty or starts with no digit
//   ("1\n\n2", "\n", "1\n-2"), or at the byte after its digits when that is neither the delimiter
//   nor the end ("12 \n");
// - errc::result_out_of_range and ptr at the token when its value does not fit in 64 bits;
// - errc::no_buffer_space and ptr at the token when `capacity` values are written already;
// - errc::invalid_argument, ptr == first and no value when `delimiter` is itself a digit.
// Writes nothing but out[0] to out[count - 1].
HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                             std::uint64_t* out, std::size_t capacity);

}  // namespace hexrace

#include "hexrace/detail/parse_hex.h"
