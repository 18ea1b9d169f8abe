// The list functions' contracts spelt out with std::from_chars, a token at a time: the oracle of
// the list tests and of the parser's fuzz target.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
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

// std::from_chars of a token, after a "0x" or "0X" stripped by hand as `prefix` asks.
template <typename Out>
std::from_chars_result reference_token(const char* token, const char* last, Out& value,
                                       Prefix prefix) {
    const bool prefixed = last - token >= 2 && token[0] == '0' && (token[1] | 0x20) == 'x';
    if (prefix != Prefix::none && prefixed && last - token >= 3 &&
        std::strchr("0123456789abcdefABCDEF", token[2]) != nullptr && token[2] != '\0') {
        const auto result = std::from_chars(token + 2, last, value, 16);
        return {result.ptr, result.ec};
    }
    if (prefix == Prefix::optional && prefixed) {
        value = 0;
        return {token + 1, std::errc{}};
    }
    if (prefix == Prefix::required) {
        return {token, std::errc::invalid_argument};
    }
    return std::from_chars(token, last, value, 16);
}

template <typename Out>
HexListResult reference_list(Format format, const char* first, const char* last, char delimiter,
                             Out* out, std::size_t capacity, Prefix prefix = Prefix::none) {
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
        const auto [end, ec] = reference_token(token, last, value, prefix);
        if (ec != std::errc{}) {
            return {token, ec, count};
        }
        if (format == Format::kDelimited && (std::string_view(end, last - end) == "\n" ||
                                             std::string_view(end, last - end) == "\r\n")) {
            out[count++] = value;  // the last token, and the line end of the file's last line
            return {last, std::errc{}, count};
        }
        const std::size_t separator = end == last ? 0 : separator_at(format, end, last, delimiter);
        if (end != last && separator == 0) {
            return {end, std::errc::invalid_argument, count};
        }
        out[count++] = value;
        token = end + separator;
    }
}

// decode_hex (and with `spaced`, decode_hex_spaced) as its header words it, a pair at a time.
inline HexListResult reference_decode(bool spaced, const char* first, const char* last,
                                      std::uint8_t* out, std::size_t capacity) {
    const auto is = [](const char* set, char c) { return c != '\0' && std::strchr(set, c); };
    constexpr const char* kDigits = "0123456789abcdefABCDEF";
    std::size_t count = 0;
    for (const char* p = first;;) {
        while (spaced && p != last && is(" \t\n\v\f\r", *p)) {
            ++p;
        }
        if (p == last) {
            return {last, std::errc{}, count};
        }
        if (count == capacity) {
            return {p, std::errc::no_buffer_space, count};
        }
        if (!is(kDigits, p[0]) || last - p == 1) {
            return {p, std::errc::invalid_argument, count};
        }
        if (!is(kDigits, p[1])) {
            return {p + 1, std::errc::invalid_argument, count};
        }
        std::from_chars(p, p + 2, out[count++], 16);
        p += 2;
    }
}

}  // namespace hexrace::testing
