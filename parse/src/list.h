// The list entries' token-at-a-time road, for every path and every format: all of the portable
// path, and whatever a vector path's block road leaves to it.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "hexrace/parse.h"

namespace hexrace::parse_detail {

using Format = ListFormat;
inline constexpr int kFormats = 3;

// Where a list's values go: the caller's array of some unsigned type of Out's width, seen as
// bytes, so that no value is stored through a type that the array may not have (unsigned long
// long where std::uint64_t is unsigned long).
template <typename Out>
struct Sink {
    unsigned char* bytes;

    void put(std::size_t index, Out value) const {
        std::memcpy(bytes + index * sizeof(Out), &value, sizeof value);
    }
    void* at(std::size_t index) const { return bytes + index * sizeof(Out); }
    Sink after(std::size_t count) const { return {bytes + count * sizeof(Out)}; }
};

constexpr bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The line ends from p on to the end: empty lines at the very end of the text.
inline bool only_line_ends(const char* p, const char* last) {
    while (p != last) {
        if (*p == '\n') {
            ++p;
        } else if (*p == '\r' && last - p >= 2 && p[1] == '\n') {
            p += 2;
        } else {
            return false;
        }
    }
    return true;
}

// Where the next token starts, `token` being where the last one's separator may start: past white
// space for words, nowhere else; `last` where no token follows at all, only what may end a list.
template <Format F>
const char* next_token(const char* token, const char* last) {
    if constexpr (F == Format::kWords) {
        while (token != last && is_space(*token)) {
            ++token;
        }
    }
    if constexpr (F == Format::kLines) {
        if (token != last && (*token == '\n' || *token == '\r') && only_line_ends(token, last)) {
            return last;
        }
    }
    return token;
}

// Parses the token at `token`, which is no list end, into `value`, and moves `token` past its
// separator (or to `last`); false, with `stop` set, where the list stops at this token.
// The token at `token` as parse_hex takes it with `prefix`.
template <typename Out>
Parsed<Out> parse_token(const char* token, const char* last, Prefix prefix) {
    if (prefix == Prefix::none) {
        return parse_fast<Out>(token, last);
    }
    Out value = 0;
    const std::from_chars_result result = parse_hex(token, last, value, prefix);
    return {result.ptr, result.ec, value};
}

template <Format F, typename Out>
bool take_token(const char*& token, const char* last, char delimiter, Prefix prefix, Out& value,
                HexListResult& stop) {
    const Parsed<Out> parsed = parse_token<Out>(token, last, prefix);
    if (parsed.ec != std::errc{}) {
        stop = {token, parsed.ec, stop.count};
        return false;
    }
    const char* const end = parsed.ptr;
    const char* after = nullptr;
    if (end == last) {
        after = last;
    } else if constexpr (F == Format::kDelimited) {
        // A final line end, as a file's last line has, before the delimiter: so that "1\r\n"
        // with "\r" for a delimiter ends the list too.
        const auto rest = last - end;
        after = (rest == 1 && *end == '\n') || (rest == 2 && end[0] == '\r' && end[1] == '\n')
                    ? last
                : *end == delimiter ? end + 1
                                    : nullptr;
    } else if constexpr (F == Format::kLines) {
        after = *end == '\n'                                        ? end + 1
                : *end == '\r' && last - end >= 2 && end[1] == '\n' ? end + 2
                                                                    : nullptr;
    } else {
        after = is_space(*end) ? end + 1 : nullptr;
    }
    if (after == nullptr) {
        stop = {end, std::errc::invalid_argument, stop.count};
        return false;
    }
    value = parsed.value;
    token = after;
    return true;
}

// One step of the list at `token`: the end of the list, or one token taken; false, with `stop`
// set, where the list ends or stops.
template <Format F, typename Out>
bool take_step(const char*& token, const char* last, char delimiter, Sink<Out> out,
               std::size_t capacity, Prefix prefix, HexListResult& stop) {
    token = next_token<F>(token, last);
    if (token == last) {
        stop = {last, std::errc{}, stop.count};
        return false;
    }
    if (stop.count == capacity) {
        stop = {token, std::errc::no_buffer_space, stop.count};
        return false;
    }
    Out value = 0;
    if (!take_token<F>(token, last, delimiter, prefix, value, stop)) {
        return false;
    }
    out.put(stop.count++, value);
    return true;
}

// The list from `token` on, `count` values out already, a token at a time.
template <Format F, typename Out>
HexListResult finish_list(const char* token, const char* last, char delimiter, Sink<Out> out,
                          std::size_t capacity, Prefix prefix, std::size_t count) {
    HexListResult stop{token, std::errc{}, count};
    while (take_step<F>(token, last, delimiter, out, capacity, prefix, stop)) {
    }
    return stop;
}

// A delimiter that is a digit cannot separate anything.
template <Format F>
bool bad_delimiter(char delimiter) {
    return F == Format::kDelimited && is_digit(delimiter);
}

}  // namespace hexrace::parse_detail
