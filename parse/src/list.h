// The list entries' token-at-a-time road, for every path and every format: all of the portable
// path, and whatever a vector path's block road leaves to it.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "hexrace/parse.h"

namespace hexrace::parse_detail {

// How a list's tokens are separated.
enum class Format {
    kDelimited,  // one delimiter byte after each token, but the last may end at the end
    kLines,      // "\n" or "\r\n" after each, but the last; empty lines at the very end
    kWords,      // runs of ASCII white space between them, before the first and after the last
};
inline constexpr int kFormats = 3;

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
template <Format F, typename Out>
bool take_token(const char*& token, const char* last, char delimiter, Out& value,
                HexListResult& stop) {
    const Parsed<Out> parsed = parse_fast<Out>(token, last);
    if (parsed.ec != std::errc{}) {
        stop = {token, parsed.ec, stop.count};
        return false;
    }
    const char* const end = parsed.ptr;
    const char* after = nullptr;
    if (end == last) {
        after = last;
    } else if constexpr (F == Format::kDelimited) {
        after = *end == delimiter ? end + 1 : nullptr;
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
bool take_step(const char*& token, const char* last, char delimiter, Out* out, std::size_t capacity,
               HexListResult& stop) {
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
    if (!take_token<F>(token, last, delimiter, value, stop)) {
        return false;
    }
    out[stop.count++] = value;
    return true;
}

// The list from `token` on, `count` values out already, a token at a time.
template <Format F, typename Out>
HexListResult finish_list(const char* token, const char* last, char delimiter, Out* out,
                          std::size_t capacity, std::size_t count) {
    HexListResult stop{token, std::errc{}, count};
    while (take_step<F>(token, last, delimiter, out, capacity, stop)) {
    }
    return stop;
}

// A delimiter that is a digit cannot separate anything.
template <Format F>
bool bad_delimiter(char delimiter) {
    return F == Format::kDelimited && is_digit(delimiter);
}

}  // namespace hexrace::parse_detail
