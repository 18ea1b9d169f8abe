// A vector path's list parser, written once over the primitives that the file including this one
// defines for its instruction set, in its own unnamed namespace: load16, leading_digits and
// delimiter_mask.
#pragma once

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "list.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

// A token the fast road leaves: the list is full, or the token is empty, longer than sixteen or
// not all digits. Kept out of line, so that the fast road keeps its registers.
[[gnu::noinline, gnu::cold]] bool take_token_slowly(const char*& token, const char* last,
                                                    char delimiter, std::uint64_t* out,
                                                    std::size_t capacity, HexListResult& stop) {
    if (stop.count == capacity) {
        stop = {token, std::errc::no_buffer_space, stop.count};
        return false;
    }
    std::uint64_t value = 0;
    if (!take_token(token, last, delimiter, value, stop)) {
        return false;
    }
    out[stop.count++] = value;
    return true;
}

// Where the text is long enough, 64 bytes at a time: their delimiters first, so that where each
// token starts follows from a bit mask, not from parsing the token before it, and the tokens'
// parses can overlap. A token that ends in a block is parsed from one sixteen-byte load, which
// stays in the text as sixteen bytes follow the block. The rest a token at a time.
HexListResult vector_parse_list(const char* first, const char* last, char delimiter,
                                std::uint64_t* out, std::size_t capacity) {
    if (is_digit(delimiter)) {
        return {first, std::errc::invalid_argument, 0};
    }
    const char* token = first;
    HexListResult stop{first, std::errc{}, 0};
    for (const char* block = first; last - block >= 64 + 16; block += 64) {
        for (std::uint64_t ends = delimiter_mask(block, delimiter); ends != 0; ends &= ends - 1) {
            const char* const end = block + std::countr_zero(ends);
            const auto size = static_cast<std::size_t>(end - token);
            if (size - 1 < 16 && stop.count != capacity) {
                const Digits digits = leading_digits(load16(token));
                if (static_cast<std::size_t>(digits.count) == size) {
                    out[stop.count++] = digits.value;
                    token = end + 1;
                    continue;
                }
            }
            if (!take_token_slowly(token, last, delimiter, out, capacity, stop)) {
                return stop;
            }
        }
    }
    return finish_list(token, last, delimiter, out, capacity, stop.count);
}

}  // namespace
}  // namespace hexrace::parse_detail
