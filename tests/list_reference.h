// parse_hex_list's contract spelt out with std::from_chars, a token at a time: the oracle of the
// list tests and of the parser's fuzz target.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "hexrace/parse.h"

namespace hexrace::testing {

inline HexListResult reference_list(const char* first, const char* last, char delimiter,
                                    std::uint64_t* out, std::size_t capacity) {
    std::size_t count = 0;
    for (const char* token = first; token != last;) {
        if (count == capacity) {
            return {token, std::errc::no_buffer_space, count};
        }
        std::uint64_t value = 0;
        const auto [end, ec] = std::from_chars(token, last, value, 16);
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

}  // namespace hexrace::testing
