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
#include "hexrace/version.h"

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

// What a list function did: `count` values written, and where and why it stopped.
struct HexListResult {
    const char* ptr;  // `last` once every token is parsed; otherwise the byte it stopped at
    std::errc ec;     // errc{} once every token is parsed
    std::size_t count;
};

// The list functions parse a buffer of many numbers at once, 64 bytes at a time on the CPU's
// vector units where it has them (chosen once, at the first call). Each parses tokens of one or
// more digits (any number of leading zeros, no sign) into out[0], out[1], ..., and stops at the
// first token it cannot take, keeping the values before it, with
// - errc::invalid_argument and ptr at the token when it starts with no digit (an empty token
//   included), or at the first byte after its digits that the format does not allow there;
// - errc::result_out_of_range and ptr at the token when its value does not fit the output's width
//   (64 or 32 bits);
// - errc::no_buffer_space and ptr at the token when `capacity` values are written already.
// They write nothing but out[0] to out[count - 1]. A text that is only what may end a list gives
// no value and no error. To go on after a stop, start again at ptr (or past the byte there).

// Tokens each followed by one `delimiter` byte, but the last, which may end at `last`: "1f\n2\n"
// and "1f\n2" both give {0x1F, 0x2}. An empty token is an error ("1\n\n2", "\n"); so is a
// `delimiter` that is a digit itself (errc::invalid_argument, ptr == first, no value).
HEXRACE_PARSE_API HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                                               std::uint64_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                                               std::uint32_t* out, std::size_t capacity);

// One number a line: a line ends in "\n" or "\r\n", and the last may lack its end, so Unix and
// Windows text files both parse, "1f\r\n2\r\n" giving {0x1F, 0x2}. Any number of empty lines
// may end the text, but none may come before a number ("1\n\n2" stops at the empty line); any
// other byte on a line (a space, a "\r" not followed by "\n") stops it at that byte.
HEXRACE_PARSE_API HexListResult parse_hex_lines(const char* first, const char* last,
                                                std::uint64_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_lines(const char* first, const char* last,
                                                std::uint32_t* out, std::size_t capacity);

// Numbers separated by runs of ASCII white space (" ", "\t", "\n", "\v", "\f", "\r"), which may
// also come before the first and after the last: " de ad\tbe\n\nef \n" gives {0xDE, 0xAD, 0xBE,
// 0xEF}. Any other byte after a number ("1f, 2") stops it at that byte.
HEXRACE_PARSE_API HexListResult parse_hex_words(const char* first, const char* last,
                                                std::uint64_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_words(const char* first, const char* last,
                                                std::uint32_t* out, std::size_t capacity);

}  // namespace hexrace

#include "hexrace/detail/parse_hex.h"
