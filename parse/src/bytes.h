// Hex text to bytes and back, written once over the kernels a path's file defines for its
// instruction set, in its own unnamed namespace (include it inside the path's target region):
//   bool decode64(const char* text, std::uint8_t* out): 64 digits into 32 bytes; false, having
//     written nothing, where a byte is no digit;
//   Classes classify64(const char* block): where 64 bytes are digits and where white space;
//   std::size_t compress64(const char* block, std::uint64_t keep, char* to): the bytes of `keep`
//     packed in order at `to`, which may be written up to 64 bytes on; returns how many;
//   void encode32(const std::uint8_t* in, char* out, const char* digits): 32 bytes into 64
//     digits, `digits` the sixteen of the case asked for.
// The exact roads, a pair at a time, take whatever the blocks leave: the text's end, a block that
// is not all digits, an output with too little room.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "hexrace/bytes.h"
#include "hexrace/parse.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

constexpr bool is_space_byte(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The contract a pair at a time, from p on, `count` bytes written already.
template <bool kSpaced>
HexListResult decode_exactly(const char* p, const char* last, std::uint8_t* out,
                             std::size_t capacity, std::size_t count) {
    for (;;) {
        if constexpr (kSpaced) {
            while (p != last && is_space_byte(*p)) {
                ++p;
            }
        }
        if (p == last) {
            return {last, std::errc{}, count};
        }
        if (count == capacity) {
            return {p, std::errc::no_buffer_space, count};
        }
        const unsigned high = digit_value(p[0]);
        if (high == kNoDigit || last - p == 1) {
            return {p, std::errc::invalid_argument, count};
        }
        const unsigned low = digit_value(p[1]);
        if (low == kNoDigit) {
            return {p + 1, std::errc::invalid_argument, count};
        }
        out[count++] = static_cast<std::uint8_t>(high << 4 | low);
        p += 2;
    }
}

// The last 2 to 63 digits from a block padded with zeros, and the rest (a block with a byte that
// is no digit, an output with too little room) a pair at a time: out of line, so that a text of
// whole blocks, a digest's 64 digits among them, costs no stack frame for it.
[[gnu::noinline]] HexListResult decode_rest(const char* p, const char* last, std::uint8_t* out,
                                            std::size_t capacity, std::size_t count) {
    const auto rest = static_cast<std::size_t>(last - p);
    if (rest >= 2 && rest < 64 && capacity - count >= rest / 2) {
        char padded[64];
        std::memset(padded, '0', sizeof padded);
        std::memcpy(padded, p, rest);
        std::uint8_t bytes[32];
        if (decode64(padded, bytes)) {
            std::memcpy(out + count, bytes, rest / 2);
            count += rest / 2;
            p += rest / 2 * 2;
        }
    }
    return decode_exactly<false>(p, last, out, capacity, count);
}

// Contiguous digits, 128 and then 64 at a time while the output has room; the rest as above.
HexListResult decode_blocks(const char* first, const char* last, std::uint8_t* out,
                            std::size_t capacity, std::size_t count) {
    const char* p = first;
    while (last - p >= 128 && capacity - count >= 64 && decode64(p, out + count) &&
           decode64(p + 64, out + count + 32)) {
        p += 128;
        count += 64;
    }
    while (last - p >= 64 && capacity - count >= 32 && decode64(p, out + count)) {
        p += 64;
        count += 32;
    }
    if (p == last) {
        return {last, std::errc{}, count};
    }
    return decode_rest(p, last, out, capacity, count);
}

HexListResult decode(const char* first, const char* last, std::uint8_t* out, std::size_t capacity) {
    return decode_blocks(first, last, out, capacity, 0);
}

// Bit i set where an odd number of the bits below i are set in `bits`.
constexpr std::uint64_t odd_below(std::uint64_t bits) {
    std::uint64_t odd = bits << 1;
    for (int shift = 1; shift < 64; shift *= 2) {
        odd ^= odd << shift;
    }
    return odd;
}

static_assert(odd_below(0b1011) == (~std::uint64_t{0} << 4 | 0b10));

// White space between pairs: a segment of the text at a time, its digits packed into a buffer of
// their own (each block checked to hold nothing but digits and white space, the white space
// never after an odd number of digits), then decoded as contiguous digits. A segment always
// starts at a pair; one that does not check out, or that the output has no room for, is done
// exactly, and so is the text's last block.
HexListResult decode_spaced(const char* first, const char* last, std::uint8_t* out,
                            std::size_t capacity) {
    constexpr std::size_t kSegment = 4096;
    alignas(64) char digits[kSegment + 64];
    const char* p = first;
    std::size_t count = 0;
    while (last - p >= 64) {
        const char* const end = last - p >= static_cast<std::ptrdiff_t>(kSegment)
                                    ? p + kSegment
                                    : p + (last - p) / 64 * 64;
        std::size_t packed = 0;
        std::uint64_t odd = 0;  // all ones after an odd number of digits
        const char* block = p;
        for (; block != end; block += 64) {
            const Classes found = classify64(block);
            if ((found.digits | found.spaces) != ~std::uint64_t{0} ||
                (found.spaces & (odd_below(found.digits) ^ odd)) != 0) {
                break;
            }
            packed += compress64(block, found.digits, digits + packed);
            odd ^= 0 - static_cast<std::uint64_t>(std::popcount(found.digits) & 1);
        }
        // Up to the last whole pair: a lone last digit starts the next segment.
        // A space after an odd number of digits fails a block's check, so a lone digit is the
        // last byte before the blocks that passed.
        const char* next = block;
        if (odd != 0) {
            next = block - 1;
            --packed;
        }
        if (next <= p || capacity - count < packed / 2) {
            break;
        }
        const HexListResult done = decode_blocks(digits, digits + packed, out, capacity, count);
        count = done.count;
        p = next;
        if (block != end) {
            break;  // the block that did not check out, exactly
        }
    }
    return decode_exactly<true>(p, last, out, capacity, count);
}

// 32 bytes at a time, then the rest through a block padded with zeros.
char* encode(const std::uint8_t* first, const std::uint8_t* last, char* out, HexCase letters) {
    const char* const digits = letters == HexCase::upper ? "0123456789ABCDEF" : "0123456789abcdef";
    while (last - first >= 32) {
        encode32(first, out, digits);
        first += 32;
        out += 64;
    }
    const auto rest = static_cast<std::size_t>(last - first);
    if (rest != 0) {
        std::uint8_t bytes[32] = {};
        std::memcpy(bytes, first, rest);
        char text[64];
        encode32(bytes, text, digits);
        std::memcpy(out, text, 2 * rest);
        out += 2 * rest;
    }
    return out;
}

constexpr BytesFunctions kBytesFunctions = {decode, decode_spaced, encode};

}  // namespace
}  // namespace hexrace::parse_detail
