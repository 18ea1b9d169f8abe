// The list functions' contracts spelt out with std::from_chars, a token at a time: the oracle of
// the list tests and of the parser's fuzz target.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "hexrace/parse.h"
#include "paths.h"

namespace hexrace::testing {

using parse_detail::Format;

// How many bytes at p (before last) separate a token from the next in `format`; 0 for none.
inline std::size_t separator_at(Format format, const char* p, const char* last, char delimiter) {
    switch (format) {
        case Format::kDelimited:
            return *p == delimiter ? 1 : 0;
        case Format::kLines:
            return *p == '\n' ? 1 : (*p == '\r' && last - p >= 2 && p[1] == '\n') ? 2 : 0;
        case Format::kWords:
            return std::strchr(" \t\n\v\f\r", *p) != nullptr && *p != '\0' ? 1 : 0;
    }
    return 0;
}

// Where the tokens start, past what may come before one; `last` where nothing but the list's end
// follows.
inline const char* before_token(Format format, const char* p, const char* last) {
    const char* q = p;
    while (q != last && format != Format::kDelimited) {
        const std::size_t n = separator_at(format, q, last, '\0');
        if (n == 0) {
            break;
        }
        q += n;
    }
    if (format == Format::kWords || q == last) {
        return q;
    }
    return p;
}

template <typename Out>
HexListResult reference_list(Format format, const char* first, const char* last, char delimiter,
                             Out* out, std::size_t capacity) {
    if (format == Format::kDelimited && std::strchr("0123456789abcdefABCDEF", delimiter) &&
        delimiter != '\0') {
        return {first, std::errc::invalid_argument, 0};
    }
    std::size_t count = 0;
    for (const char* token = first;;) {
        token = before_token(format, token, last);
        if (token == last) {
            return {last, std::errc{}, count};
        }
        if (count == capacity) {
            return {token, std::errc::no_buffer_space, count};
        }
        Out value = 0;
        const auto [end, ec] = std::from_chars(token, last, value, 16);
        if (ec != std::errc{}) {
            return {token, ec, count};
        }
        const std::size_t separator = end == last ? 0 : separator_at(format, end, last, delimiter);
        if (end != last && separator == 0) {
            return {end, std::errc::invalid_argument, count};
        }
        out[count++] = value;
        token = end + separator;
    }
}

}  // namespace hexrace::testing
