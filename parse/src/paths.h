// The parser's paths: the portable one, always built, and those that use the CPU's vector units.
// Each path does the whole job; the public functions take the best one the CPU has, chosen once.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>
#include <system_error>

#include "hexrace/parse.h"
#include "swar.h"

namespace hexrace::parse_detail {

struct Path {
    const char* name;
    std::from_chars_result (*parse32)(const char* first, const char* last, std::uint32_t& value);
    std::from_chars_result (*parse64)(const char* first, const char* last, std::uint64_t& value);
    HexListResult (*parse_list)(const char* first, const char* last, char delimiter,
                                std::uint64_t* out, std::size_t capacity);
};

// Every path of this build that the running CPU can take, the portable one first, the one the
// public functions use last.
std::span<const Path> available_paths();

// The portable path's parts, which the other paths use for what they leave to it.
std::from_chars_result portable_parse32(const char* first, const char* last, std::uint32_t& value);
std::from_chars_result portable_parse64(const char* first, const char* last, std::uint64_t& value);
HexListResult portable_parse_list(const char* first, const char* last, char delimiter,
                                  std::uint64_t* out, std::size_t capacity);

// Any run of digits, of any length, at first: the rare case of more than sixteen.
std::from_chars_result parse_long(const char* first, const char* last, std::uint32_t& value);
std::from_chars_result parse_long(const char* first, const char* last, std::uint64_t& value);

// What every path's single-number parse gives once it has the leading digits of the first
// 2 x sizeof(Unsigned) text bytes: no digit is an error at first; a window full of digits with
// another after it takes the long road (leading zeros, or too many); else the value.
template <typename Unsigned>
std::from_chars_result take_digits(const char* first, const char* last, const Digits& digits,
                                   Unsigned& value) {
    constexpr int kWindow = 2 * sizeof(Unsigned);
    if (digits.count == 0) {
        return {first, std::errc::invalid_argument};
    }
    if (digits.count == kWindow && last - first > kWindow &&
        is_digit(static_cast<unsigned char>(first[kWindow]))) {
        return parse_long(first, last, value);
    }
    value = static_cast<Unsigned>(digits.value);
    return {first + digits.count, std::errc{}};
}

}  // namespace hexrace::parse_detail
