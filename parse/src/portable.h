// The portable path's single-number parsers, inline, so that the public functions can take them
// without a call where no vector path does better.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "paths.h"
#include "swar.h"

namespace hexrace::parse_detail {

inline std::from_chars_result parse32(const char* first, const char* last, std::uint32_t& value) {
    const auto size = static_cast<std::size_t>(last - first);
    return take_digits(first, last,
                       leading_digits8(size >= 8 ? load_le64(first) : load_partial(first, size)),
                       value);
}

inline std::from_chars_result parse64(const char* first, const char* last, std::uint64_t& value) {
    const auto size = static_cast<std::size_t>(last - first);
    std::uint64_t w0 = 0;
    std::uint64_t w1 = 0;
    if (size >= 8) {
        // Bytes 8 to 15, or the last eight moved down to their places after the first eight.
        const std::size_t second = size < 16 ? size : 16;
        w0 = load_le64(first);
        w1 = second == 8 ? 0 : load_le64(first + second - 8) >> 8 * (16 - second);
    } else {
        w0 = load_partial(first, size);
    }
    return take_digits(first, last, leading_digits16(w0, w1), value);
}

}  // namespace hexrace::parse_detail
