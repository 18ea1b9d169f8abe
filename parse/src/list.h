// The list entry's token loop, for every path: what a path's block road leaves, a token at a time.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "hexrace/parse.h"

namespace hexrace::parse_detail {

// Parses the token at `token` into `value` and moves `token` past its delimiter (or to `last`);
// false, with `stop` set, where the list stops at this token.
inline bool take_token(const char*& token, const char* last, char delimiter, std::uint64_t& value,
                       HexListResult& stop) {
    const Parsed<std::uint64_t> parsed = parse_fast<std::uint64_t>(token, last);
    if (parsed.ec != std::errc{}) {
        stop = {token, parsed.ec, stop.count};
        return false;
    }
    if (parsed.ptr != last && *parsed.ptr != delimiter) {
        stop = {parsed.ptr, std::errc::invalid_argument, stop.count};
        return false;
    }
    value = parsed.value;
    token = parsed.ptr == last ? last : parsed.ptr + 1;
    return true;
}

// The list from `token` on, `count` values out already, a token at a time.
inline HexListResult finish_list(const char* token, const char* last, char delimiter,
                                 std::uint64_t* out, std::size_t capacity, std::size_t count) {
    HexListResult stop{token, std::errc{}, count};
    while (token != last) {
        if (stop.count == capacity) {
            return {token, std::errc::no_buffer_space, stop.count};
        }
        std::uint64_t value = 0;
        if (!take_token(token, last, delimiter, value, stop)) {
            return stop;
        }
        out[stop.count++] = value;
    }
    return {last, std::errc{}, stop.count};
}

}  // namespace hexrace::parse_detail
