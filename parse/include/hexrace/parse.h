// SPDX-License-Identifier: MIT
// hexrace::parse: validated hexadecimal parsing, exactly as strict as std::from_chars in base 16
// unless asked for a "0x" prefix. Digits are 0-9, a-f and A-F; no white space, no "+"; a "-" only
// for signed types, as std::from_chars takes it. Every function reads only the bytes of
// [first, last), never one outside it, writes only what its contract names, keeps no state and
// is safe to call from any thread.
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

// Whether a number may or must start with "0x" or "0X" (after the "-" of a signed type).
enum class Prefix {
    none,      // exactly std::from_chars: "0x1f" is 0 with ptr at the "x"
    optional,  // as strtoul takes it: "0x1f" and "1f" are 0x1F; "0x" with no digit after it is 0,
               // with ptr after the "0"
    required,  // "0x1f" only: a text without it, or with no digit after it, is
               // errc::invalid_argument with ptr == first
};

namespace parse_detail {
#if HEXRACE_PARSE_HAS_INT128
__extension__ typedef __int128 int128;
__extension__ typedef unsigned __int128 uint128;
#endif

// The types std::from_chars takes: every integer type but bool and the character types other
// than char; and the 128-bit ones where the compiler has them.
template <typename T>
inline constexpr bool is_parse_type =
    std::is_same_v<T, char> || std::is_same_v<T, signed char> || std::is_same_v<T, unsigned char> ||
    std::is_same_v<T, short> || std::is_same_v<T, unsigned short> || std::is_same_v<T, int> ||
    std::is_same_v<T, unsigned> || std::is_same_v<T, long> || std::is_same_v<T, unsigned long> ||
    std::is_same_v<T, long long> || std::is_same_v<T, unsigned long long>
#if HEXRACE_PARSE_HAS_INT128
    || std::is_same_v<T, int128> || std::is_same_v<T, uint128>
#endif
    ;
}  // namespace parse_detail

inline namespace HEXRACE_PARSE_ABI {

// Parses the number at the start of [first, last) into `value`, with the result that
// std::from_chars(first, last, value, 16) gives, for every input: ptr past the last digit; any
// number of leading zeros; for a signed type, one "-" before the digits (not "+"), down to the
// type's minimum, "-0" being 0; errc::invalid_argument and ptr == first when no digit starts the
// text (after the "-"); errc::result_out_of_range and ptr past all the digits when their value
// does not fit the type. On either error `value` is left untouched. `unsigned __int128` and
// `__int128` (where HEXRACE_PARSE_HAS_INT128 is 1) follow the same contract.
template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int> = 0>
[[nodiscard]] constexpr std::from_chars_result parse_hex(const char* first, const char* last,
                                                         T& value) noexcept;

// The same with a "0x" or "0X" prefix as `prefix` says, after the "-" of a signed type; the
// digits after it as above. Prefix::none is the call above.
template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int> = 0>
[[nodiscard]] constexpr std::from_chars_result parse_hex(const char* first, const char* last,
                                                         T& value, Prefix prefix) noexcept;

// The same over `text`; ptr points into it.
template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int> = 0>
[[nodiscard]] constexpr std::from_chars_result parse_hex(std::string_view text, T& value) noexcept;
template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int> = 0>
[[nodiscard]] constexpr std::from_chars_result parse_hex(std::string_view text, T& value,
                                                         Prefix prefix) noexcept;

}  // namespace HEXRACE_PARSE_ABI

// What a list function did: `count` values written, and where and why it stopped.
struct [[nodiscard]] HexListResult {
    const char* ptr;  // `last` once every token is parsed; otherwise the byte it stopped at
    std::errc ec;     // errc{} once every token is parsed
    std::size_t count;
};

namespace parse_detail {
// How a list's tokens are separated.
enum class ListFormat {
    kDelimited,  // one delimiter byte after each token, but the last
    kLines,      // "\n" or "\r\n" after each, but the last; empty lines at the very end
    kWords,      // runs of ASCII white space between them, before the first and after the last
};

// The library's list parsers, one per output width; `out` is the caller's array of an unsigned
// type of that width, which they write as bytes.
HEXRACE_PARSE_API HexListResult parse_list8(ListFormat format, const char* first, const char* last,
                                            char delimiter, void* out, std::size_t capacity,
                                            Prefix prefix) noexcept;
HEXRACE_PARSE_API HexListResult parse_list16(ListFormat format, const char* first, const char* last,
                                             char delimiter, void* out, std::size_t capacity,
                                             Prefix prefix) noexcept;
HEXRACE_PARSE_API HexListResult parse_list32(ListFormat format, const char* first, const char* last,
                                             char delimiter, void* out, std::size_t capacity,
                                             Prefix prefix) noexcept;
HEXRACE_PARSE_API HexListResult parse_list64(ListFormat format, const char* first, const char* last,
                                             char delimiter, void* out, std::size_t capacity,
                                             Prefix prefix) noexcept;

// Every unsigned integer type of 1, 2, 4 or 8 bytes, whatever its name: unsigned char,
// std::uint16_t, unsigned long, unsigned long long, ...
template <typename Out>
inline constexpr bool is_list_output =
    std::is_integral_v<Out>&& std::is_unsigned_v<Out> && !std::is_same_v<Out, bool> &&
    (sizeof(Out) == 1 || sizeof(Out) == 2 || sizeof(Out) == 4 || sizeof(Out) == 8);

// Inline code, named for the caller's instruction sets as parse_hex is.
inline namespace HEXRACE_PARSE_ABI {
template <typename Out>
inline HexListResult parse_list(ListFormat format, const char* first, const char* last,
                                char delimiter, Out* out, std::size_t capacity,
                                Prefix prefix) noexcept {
    if constexpr (sizeof(Out) == 1) {
        return parse_list8(format, first, last, delimiter, out, capacity, prefix);
    } else if constexpr (sizeof(Out) == 2) {
        return parse_list16(format, first, last, delimiter, out, capacity, prefix);
    } else if constexpr (sizeof(Out) == 4) {
        return parse_list32(format, first, last, delimiter, out, capacity, prefix);
    } else {
        return parse_list64(format, first, last, delimiter, out, capacity, prefix);
    }
}
}  // namespace HEXRACE_PARSE_ABI
}  // namespace parse_detail

// The list functions parse a buffer of many numbers at once, 64 bytes at a time on the CPU's
// vector units where it has them (chosen once, at the first call). Each parses tokens of one or
// more digits (any number of leading zeros, no sign; a "0x" prefix as `prefix` says, as
// parse_hex takes it) into out[0], out[1], ..., an array of any unsigned integer type of 1, 2, 4
// or 8 bytes, and stops at the first token it cannot take, keeping the values before it, with
// - errc::invalid_argument and ptr at the token when it starts with no digit (an empty token
//   included, or one without the prefix that Prefix::required asks for), or at the first byte
//   after its digits that the format does not allow there;
// - errc::result_out_of_range and ptr at the token when its value does not fit the output's width;
// - errc::no_buffer_space and ptr at the token when `capacity` values are written already.
// They write nothing but out[0] to out[count - 1]. A text that is only what may end a list gives
// no value and no error. To go on after a stop, start again at ptr (or past the byte there).
//
// Where several errors apply, the first of these wins, token by token:
// 1. a `delimiter` that is a digit (parse_hex_list): errc::invalid_argument at first, whatever
//    the text, the empty one included;
// 2. the end of the list (nothing left but what may end it): no error;
// 3. no room: errc::no_buffer_space, judged before the next token is read, so that "1\ng" with
//    capacity 1 stops there and not at the "g";
// 4. a token with no digit: errc::invalid_argument at the token (an empty line that more than
//    line ends follow, as in "1\n\n\r", stops at that empty line);
// 5. a value too wide: errc::result_out_of_range at the token, whatever byte follows its digits;
// 6. a byte after its digits that the format does not allow: errc::invalid_argument at that byte.

// Tokens each followed by one `delimiter` byte, but the last, which may end at `last`, or in one
// line end ("\n" or "\r\n") that `last` follows, as a file's last line does: with ',' for a
// delimiter, "1f,2", "1f,2," and "1f,2\n" all give {0x1F, 0x2}. (Before 2.1 that line end
// stopped the list, losing the last value of every line of a CSV file.) The line end comes
// straight after the last token: "1f,2,\n" has an empty token before it. An empty token is an
// error ("1,,2", ",", "\n" alone); so is a `delimiter` that is a digit itself.
inline namespace HEXRACE_PARSE_ABI {

template <typename Out, std::enable_if_t<parse_detail::is_list_output<Out>, int> = 0>
inline HexListResult parse_hex_list(const char* first, const char* last, char delimiter, Out* out,
                                    std::size_t capacity, Prefix prefix = Prefix::none) noexcept {
    return parse_detail::parse_list(parse_detail::ListFormat::kDelimited, first, last, delimiter,
                                    out, capacity, prefix);
}

// One number a line: a line ends in "\n" or "\r\n", and the last may lack its end, so Unix and
// Windows text files both parse, "1f\r\n2\r\n" giving {0x1F, 0x2}. Any number of empty lines
// may end the text, but none may come before a number ("1\n\n2" stops at the empty line); any
// other byte on a line (a space, a "\r" not followed by "\n") stops it at that byte.
template <typename Out, std::enable_if_t<parse_detail::is_list_output<Out>, int> = 0>
inline HexListResult parse_hex_lines(const char* first, const char* last, Out* out,
                                     std::size_t capacity, Prefix prefix = Prefix::none) noexcept {
    return parse_detail::parse_list(parse_detail::ListFormat::kLines, first, last, '\n', out,
                                    capacity, prefix);
}

// Numbers separated by runs of ASCII white space (" ", "\t", "\n", "\v", "\f", "\r"), which may
// also come before the first and after the last: " de ad\tbe\n\nef \n" gives {0xDE, 0xAD, 0xBE,
// 0xEF}. Any other byte after a number ("1f, 2") stops it at that byte.
template <typename Out, std::enable_if_t<parse_detail::is_list_output<Out>, int> = 0>
inline HexListResult parse_hex_words(const char* first, const char* last, Out* out,
                                     std::size_t capacity, Prefix prefix = Prefix::none) noexcept {
    return parse_detail::parse_list(parse_detail::ListFormat::kWords, first, last, ' ', out,
                                    capacity, prefix);
}

}  // namespace HEXRACE_PARSE_ABI

}  // namespace hexrace

#include "hexrace/detail/parse_hex.h"
