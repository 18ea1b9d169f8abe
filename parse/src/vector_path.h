// A vector path's list parsers, written once over the primitives that the file including this one
// defines for its instruction set, in its own unnamed namespace: load16, leading_digits and
// value_of (of sixteen bytes), and classify (a 64-byte block, through block_of below).
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

// A token the block road leaves (the list is full, or the token is empty, too long or not all
// digits), or the end of the list: kept out of line, so that the block road keeps its registers.
template <Format F, typename Out>
[[gnu::noinline, gnu::cold]] bool take_step_slowly(const char*& token, const char* last,
                                                   char delimiter, Out* out, std::size_t capacity,
                                                   HexListResult& stop) {
    return take_step<F>(token, last, delimiter, out, capacity, stop);
}

// The tokens that end in one block, each parsed from one sixteen-byte load, which stays in the
// text as sixteen bytes follow the block; with kChecked, each checked to be digits throughout
// (not needed for a token whose every byte lies in clean blocks). False where the list stops.
template <Format F, bool kChecked, typename Out>
bool take_block(std::uint64_t ends, const char* block, const char*& token, const char* last,
                char delimiter, Out* out, std::size_t capacity, HexListResult& stop) {
    constexpr std::size_t kDigits = 2 * sizeof(Out);
    for (; ends != 0; ends &= ends - 1) {
        const char* const end = block + std::countr_zero(ends);
        if constexpr (F == Format::kWords) {
            if (token == end) {  // more white space
                token = end + 1;
                continue;
            }
        }
        auto size = static_cast<std::size_t>(end - token);
        if constexpr (F == Format::kLines) {
            size -= size != 0 && end[-1] == '\r';
        }
        if (size - 1 < kDigits && stop.count != capacity) {
            const auto text = load16(token);
            if constexpr (!kChecked) {
                out[stop.count++] = static_cast<Out>(value_of(text, size));
                token = end + 1;
                continue;
            } else {
                const Digits digits = leading_digits(text);
                if (static_cast<std::size_t>(digits.count) == size) {
                    out[stop.count++] = static_cast<Out>(digits.value);
                    token = end + 1;
                    continue;
                }
            }
        }
        if (!take_step_slowly<F>(token, last, delimiter, out, capacity, stop)) {
            return false;
        }
    }
    return true;
}

// Where the text is long enough, 64 bytes at a time: the bytes that end tokens first, so that
// where each token starts follows from a bit mask, not from parsing the token before it, and the
// tokens' parses can overlap; and whether the block is clean, so that its tokens need no check.
// The rest a token at a time.
template <Format F, typename Out>
HexListResult vector_list(const char* first, const char* last, char delimiter, Out* out,
                          std::size_t capacity) {
    if (bad_delimiter<F>(delimiter)) {
        return {first, std::errc::invalid_argument, 0};
    }
    const char* token = first;
    const char* clean_from = first;  // the start of the run of clean blocks the last is in
    HexListResult stop{first, std::errc{}, 0};
    for (const char* block = first; last - block >= 64 + 16; block += 64) {
        const Block found = classify<F>(block, delimiter);
        if (!found.clean) {
            clean_from = block + 64;
        }
        const bool taken = found.clean && token >= clean_from
                               ? take_block<F, false>(found.ends, block, token, last, delimiter,
                                                      out, capacity, stop)
                               : take_block<F, true>(found.ends, block, token, last, delimiter, out,
                                                     capacity, stop);
        if (!taken) {
            return stop;
        }
    }
    return finish_list<F>(token, last, delimiter, out, capacity, stop.count);
}

constexpr ListFunctions kVectorFunctions = {
    {vector_list<Format::kDelimited, std::uint64_t>, vector_list<Format::kLines, std::uint64_t>,
     vector_list<Format::kWords, std::uint64_t>},
    {vector_list<Format::kDelimited, std::uint32_t>, vector_list<Format::kLines, std::uint32_t>,
     vector_list<Format::kWords, std::uint32_t>},
};

}  // namespace
}  // namespace hexrace::parse_detail
