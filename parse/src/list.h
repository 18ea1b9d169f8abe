// The list entry's token loop, for every path: each token through the path's own parse64.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "hexrace/parse.h"
#include "swar.h"

namespace hexrace::parse_detail {

using Parse64 = std::from_chars_result(const char* first, const char* last, std::uint64_t& value);

// Parses the token at `token` into `value` and moves `token` past its delimiter (or to `last`);
// false, with `stop` set, where the list stops at this token.
template <Parse64* ParseToken>
bool take_token(const char*& token, const char* last, char delimiter, std::uint64_t& value,
                HexListResult& stop) {
    const auto [end, ec] = ParseToken(token, last, value);
    if (ec != std::errc{}) {
        stop = {token, ec, stop.count};
        return false;
    }
    if (end != last && *end != delimiter) {
        stop = {end, std::errc::invalid_argument, stop.count};
        return false;
    }
    token = end == last ? last : end + 1;
    return true;
}

// The list from `token` on, `count` values out already, a token at a time.
template <Parse64* ParseToken>
HexListResult finish_list(const char* token, const char* last, char delimiter, std::uint64_t* out,
                          std::size_t capacity, std::size_t count) {
    HexListResult stop{token, std::errc{}, count};
    while (token != last) {
        if (stop.count == capacity) {
            return {token, std::errc::no_buffer_space, stop.count};
        }
        std::uint64_t value = 0;
        if (!take_token<ParseToken>(token, last, delimiter, value, stop)) {
            return stop;
        }
        out[stop.count++] = value;
    }
    return {last, std::errc{}, stop.count};
}

template <Parse64* ParseToken>
HexListResult parse_list_with(const char* first, const char* last, char delimiter,
                              std::uint64_t* out, std::size_t capacity) {
    if (is_digit(static_cast<unsigned char>(delimiter))) {
        return {first, std::errc::invalid_argument, 0};
    }
    return finish_list<ParseToken>(first, last, delimiter, out, capacity, 0);
}

}  // namespace hexrace::parse_detail
