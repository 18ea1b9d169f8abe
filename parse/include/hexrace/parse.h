// hexrace::parse: validated hexadecimal parsing, exactly as strict as std::from_chars in base 16
// and a few times faster. Digits are 0-9, a-f and A-F; nothing else is taken: no sign, no "0x",
// no white space. Every function reads only the bytes of [first, last), never one outside it,
// writes only what its contract names, keeps no state and is safe to call from any thread.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

namespace hexrace {

// Parses the digits at the start of [first, last) into `value`, with the result
// std::from_chars(first, last, value, 16) gives: ptr past the last digit; any number of leading
// zeros; errc::invalid_argument and ptr == first when the text starts with no digit;
// errc::result_out_of_range and ptr past all the digits when their value does not fit. On either
// error `value` is left untouched.
std::from_chars_result parse_hex(const char* first, const char* last, std::uint32_t& value);
std::from_chars_result parse_hex(const char* first, const char* last, std::uint64_t& value);

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
