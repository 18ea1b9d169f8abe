// SPDX-License-Identifier: MIT
// hexrace::parse for bytes written out in hexadecimal (digests, keys, "xxd -p" and
// "od -An -v -tx1" dumps): text to bytes, validated, and bytes to text, 64 text bytes at a time on
// the CPU's vector units where it has them (chosen once, at the first call, as for the lists).
// Every function reads only [first, last), writes only what its contract names, keeps no state
// and is safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <system_error>

#include "hexrace/parse.h"

namespace hexrace {

// Pairs of digits ("0"-"9", "a"-"f", "A"-"F", either case, mixed), the most significant nibble
// first, nothing between them, into out[0], out[1], ... in order: "DEADbeef" gives {0xDE, 0xAD,
// 0xBE, 0xEF}. It stops, keeping the bytes before, with
// - errc::invalid_argument and ptr at the first byte that is no digit (that very byte, not its
//   pair), `count` the whole pairs before it; the pair it breaks is not written;
// - errc::invalid_argument and ptr at the last digit when the number of digits is odd, every pair
//   before it written (a byte that is no digit comes first: "abc\n" stops at the "\n");
// - errc::no_buffer_space and ptr at the first pair not written when `capacity` pairs are
//   written and text remains; room is judged before the next pair is read, so it wins over a bad
//   byte or a lone digit there.
// The empty text gives no byte and no error. It writes nothing but out[0] to out[count - 1].
[[nodiscard]] HEXRACE_PARSE_API HexListResult decode_hex(const char* first, const char* last,
                                                         std::uint8_t* out,
                                                         std::size_t capacity) noexcept;

// The same, with ASCII white space (" ", "\t", "\n", "\v", "\f", "\r") allowed before the first
// pair, between pairs and after the last, never inside a pair ("a b" stops at the space with
// errc::invalid_argument): the layouts of "xxd -p", "od -An -v -tx1", "de ad be ef" and Python's
// bytes.fromhex. White space alone gives no byte and no error; trailing white space after
// `capacity` pairs is no error, and a stop for room points past the white space, at the pair
// ("de ad" with capacity 1 stops at the "a"). A lone last digit that white space follows
// ("deadbee\n") stops at that white space, as a space inside a pair does; with nothing after it, at
// the digit.
[[nodiscard]] HEXRACE_PARSE_API HexListResult decode_hex_spaced(const char* first, const char* last,
                                                                std::uint8_t* out,
                                                                std::size_t capacity) noexcept;

enum class HexCase { lower, upper };

// Writes the bytes of [first, last) as exactly 2 * (last - first) digits at out, two a byte, the
// most significant nibble first, in `letters`' case; no terminator. Returns the end of what it
// wrote.
HEXRACE_PARSE_API char* encode_hex(const std::uint8_t* first, const std::uint8_t* last, char* out,
                                   HexCase letters = HexCase::lower) noexcept;

inline namespace HEXRACE_PARSE_ABI {

// The same for std::byte and over a string_view.
[[nodiscard]] inline HexListResult decode_hex(const char* first, const char* last, std::byte* out,
                                              std::size_t capacity) noexcept {
    // Qualified: the enclosing namespace's entries, which these would hide.
    return hexrace::decode_hex(first, last, reinterpret_cast<std::uint8_t*>(out), capacity);
}
[[nodiscard]] inline HexListResult decode_hex_spaced(const char* first, const char* last,
                                                     std::byte* out,
                                                     std::size_t capacity) noexcept {
    return hexrace::decode_hex_spaced(first, last, reinterpret_cast<std::uint8_t*>(out), capacity);
}
inline char* encode_hex(const std::byte* first, const std::byte* last, char* out,
                        HexCase letters = HexCase::lower) noexcept {
    return hexrace::encode_hex(reinterpret_cast<const std::uint8_t*>(first),
                               reinterpret_cast<const std::uint8_t*>(last), out, letters);
}
[[nodiscard]] inline HexListResult decode_hex(std::string_view text, std::uint8_t* out,
                                              std::size_t capacity) noexcept {
    return hexrace::decode_hex(text.data(), text.data() + text.size(), out, capacity);
}
[[nodiscard]] inline HexListResult decode_hex_spaced(std::string_view text, std::uint8_t* out,
                                                     std::size_t capacity) noexcept {
    return hexrace::decode_hex_spaced(text.data(), text.data() + text.size(), out, capacity);
}

}  // namespace HEXRACE_PARSE_ABI
}  // namespace hexrace
