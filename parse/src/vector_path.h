// A vector path's list parsers, written once over the primitives that the file including this one
// defines for its instruction set, in its own unnamed namespace: load16, count_digits and
// places_of (of sixteen bytes), classify (a 64-byte block, through block_of) and
// store_short_tokens.
#pragma once

#include <algorithm>
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
                                                   char delimiter, Sink<Out> out,
                                                   std::size_t capacity, HexListResult& stop) {
    return take_step<F>(token, last, delimiter, out, capacity, Prefix::none, stop);
}

// The tokens that end in one block, each parsed from one sixteen-byte load, which stays in the
// text as sixteen bytes follow the block; with kChecked, each checked to be digits throughout
// (not needed for a token whose every byte lies in clean blocks). False where the list stops.
// Lines: `returns_before` has bit i set where the byte before block[i] is "\r".
template <Format F, bool kChecked, typename Out>
bool take_block(std::uint64_t ends, std::uint64_t returns_before, const char* block,
                const char*& token, const char* last, char delimiter, Sink<Out> out,
                std::size_t capacity, HexListResult& stop) {
    constexpr std::size_t kDigits = 2 * sizeof(Out);
    // Kept in locals: a store to out, of the same type as a count, might otherwise be taken
    // for one to it.
    const char* at = token;
    std::size_t count = stop.count;
    for (; ends != 0; ends &= ends - 1) {
        const int index = std::countr_zero(ends);
        const char* const end = block + index;
        if constexpr (F == Format::kWords) {
            if (at == end) {  // more white space
                at = end + 1;
                continue;
            }
        }
        auto size = static_cast<std::size_t>(end - at);
        if constexpr (F == Format::kLines) {
            size -= returns_before >> index & 1;  // 0 where size is: the byte before is "\n"
        }
        if (size - 1 < kDigits && count != capacity) {
            const auto text = load16(at);
            if (!kChecked || static_cast<std::size_t>(count_digits(text)) == size) {
                out.put(count++, static_cast<Out>(places_of(text) >> (64 - 4 * size)));
                at = end + 1;
                continue;
            }
        }
        stop.count = count;
        const bool taken = take_step_slowly<F>(at, last, delimiter, out, capacity, stop);
        count = stop.count;
        if (!taken) {
            token = at;
            return false;
        }
    }
    token = at;
    stop.count = count;
    return true;
}

// Words, from a clean block that starts where a token may: where every token in it has one or two
// digits (bytes in a hexdump), the value of the token at every place of the block at once, then
// one store a token; a run of digits that reaches the block's end is left for the next block.
// Returns where the next block starts, at that run or after this block; nullptr, with nothing
// done, where the block holds a longer token or the output has no room for all of its tokens.
template <typename Out>
const char* take_short_words(const Block& found, const char* block, Sink<Out> out,
                             std::size_t capacity, HexListResult& stop) {
    const int tail = 64 - std::countl_one(found.digits);  // where a last run of digits starts
    if (tail == 0) {
        return nullptr;
    }
    const std::uint64_t before_tail = ~std::uint64_t{0} >> (64 - tail);
    const std::uint64_t digits = found.digits & before_tail;
    std::uint64_t starts = digits & ~(digits << 1);
    if ((digits & digits << 1 & digits << 2) != 0 ||
        capacity - stop.count < static_cast<std::size_t>(std::popcount(starts))) {
        return nullptr;
    }
    stop.count += store_short_tokens(block, starts, digits, out.after(stop.count));
    return block + tail;
}

// Where the text is long enough, 64 bytes at a time: the bytes that end tokens first, so that
// where each token starts follows from a bit mask, not from parsing the token before it, and the
// tokens' parses can overlap; and whether the block is clean, so that its tokens need no check.
// The rest a token at a time, and prefixed tokens, which no block of digits holds, all of them.
template <Format F, typename Out>
HexListResult vector_list(const char* first, const char* last, char delimiter, Sink<Out> out,
                          std::size_t capacity, Prefix prefix) {
    if (bad_delimiter<F>(delimiter)) {
        return {first, std::errc::invalid_argument, 0};
    }
    if (prefix != Prefix::none) {
        return finish_list<F>(first, last, delimiter, out, capacity, prefix, 0);
    }
    const char* token = first;
    const char* valid_from = first;    // every byte from here to the block's end is clean
    std::uint64_t return_carried = 0;  // lines: "\r" the last byte of the block before
    HexListResult stop{first, std::errc{}, 0};
    for (const char* block = first; last - block >= 64 + 16;) {
        const Block found = classify<F>(block, delimiter);
        valid_from = !found.clean ? block + 64 : std::min(valid_from, block);
        if constexpr (F == Format::kWords) {
            if (found.clean && token == block) {
                if (const char* next = take_short_words(found, block, out, capacity, stop)) {
                    block = token = next;
                    continue;
                }
            }
        }
        const std::uint64_t returns_before = found.returns << 1 | return_carried;
        return_carried = found.returns >> 63;
        const bool taken = found.clean && token >= valid_from
                               ? take_block<F, false>(found.ends, returns_before, block, token,
                                                      last, delimiter, out, capacity, stop)
                               : take_block<F, true>(found.ends, returns_before, block, token, last,
                                                     delimiter, out, capacity, stop);
        if (!taken) {
            return stop;
        }
        block += 64;
    }
    return finish_list<F>(token, last, delimiter, out, capacity, Prefix::none, stop.count);
}

template <Format F, typename Out>
struct VectorList {
    static constexpr ListFunction<Out>* parse = vector_list<F, Out>;
};

constexpr ListFunctions kVectorFunctions = functions_of<VectorList>();

}  // namespace
}  // namespace hexrace::parse_detail
