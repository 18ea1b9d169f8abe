// The list entry's loop, one for every path: each token through the path's own parse64.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "hexrace/parse.h"
#include "swar.h"

namespace hexrace::parse_detail {

using Parse64 = std::from_chars_result(const char* first, const char* last, std::uint64_t& value);

template <Parse64* ParseToken>
HexListResult parse_list_with(const char* first, const char* last, char delimiter,
                              std::uint64_t* out, std::size_t capacity) {
    if (is_digit(static_cast<unsigned char>(delimiter))) {
        return {first, std::errc::invalid_argument, 0};
    }
    std::size_t count = 0;
    for (const char* token = first; token != last;) {
        if (count == capacity) {
            return {token, std::errc::no_buffer_space, count};
        }
        std::uint64_t value = 0;
        const auto [end, ec] = ParseToken(token, last, value);
        if (ec != std::errc{}) {
            return {token, ec, count};
        }
        if (end != last && *end != delimiter) {
            return {end, std::errc::invalid_argument, count};
        }
        out[count++] = value;
        token = end == last ? last : end + 1;
    }
    return {last, std::errc{}, count};
}

}  // namespace hexrace::parse_detail
