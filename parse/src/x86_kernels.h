// The x86-64 vector primitives for vector_path.h: sixteen text bytes in an SSE register. Included
// only inside a target region (ssse3.cpp), which compiles its own copy for its instruction set:
// hence the unnamed namespace.
#pragma once

#include <immintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "paths.h"

namespace hexrace::parse_detail {
namespace {

// Sixteen bytes of a constant operand.
struct alignas(16) Row {
    signed char lanes[16];
};

constexpr Row splat(int byte) {
    Row row{};
    for (signed char& lane : row.lanes) {
        lane = static_cast<signed char>(byte);
    }
    return row;
}

struct Constants {
    Row below_zero = splat('0' - 1);
    Row above_nine = splat('9' + 1);
    Row case_bit = splat(0x20);
    Row below_a = splat('a' - 1);
    Row above_f = splat('f' + 1);
    Row low_nibble = splat(0x0F);
    Row nine = splat(9);
    Row pair_weights = {{16, 1, 16, 1, 16, 1, 16, 1, 16, 1, 16, 1, 16, 1, 16, 1}};
    Row group_weights = {
        {0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0}};  // 256 and 1, as 16 bits
    Row gather = {{12, 13, 8, 9, 4, 5, 0, 1, -1, -1, -1, -1, -1, -1, -1, -1}};
};

inline constexpr Constants kConstants{};

// The constants, at an address the compiler cannot see through: it then takes each operand from
// memory, rather than building it anew in a register on every call as GCC does for known values.
const Constants& constants() {
    const Constants* table = &kConstants;
    asm("" : "+r"(table));
    return *table;
}

__m128i operand(const Row& row) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(row.lanes));
}

// Sixteen bytes at p, all of them the caller's.
__m128i load16(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The leading digits of sixteen text bytes (0 to 16 of them).
Digits leading_digits(__m128i text) {
    const Constants& k = constants();
    // Signed compares: bytes from 0x80 up are negative, so never above '0' - 1 or 'a' - 1.
    const __m128i decimal = _mm_and_si128(_mm_cmpgt_epi8(text, operand(k.below_zero)),
                                          _mm_cmpgt_epi8(operand(k.above_nine), text));
    const __m128i folded = _mm_or_si128(text, operand(k.case_bit));
    const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(folded, operand(k.below_a)),
                                          _mm_cmpgt_epi8(operand(k.above_f), folded));
    const auto digit_lanes =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(decimal, letters)));
    const int count = std::countr_zero(~digit_lanes);
    // Each digit's value: the low nibble, 9 more for a letter.
    const __m128i values = _mm_add_epi8(_mm_and_si128(text, operand(k.low_nibble)),
                                        _mm_and_si128(letters, operand(k.nine)));
    // Pairs of digits into 16 bits (16 x first + second), pairs of those into 32, then the four
    // 16-bit groups gathered into one word, the first group highest.
    const __m128i pairs = _mm_maddubs_epi16(values, operand(k.pair_weights));
    const __m128i groups = _mm_madd_epi16(pairs, operand(k.group_weights));
    const __m128i gathered = _mm_shuffle_epi8(groups, operand(k.gather));
    const auto aligned = static_cast<std::uint64_t>(_mm_cvtsi128_si64(gathered));
    // Sixteen places with the digits at the top: shift out the places after them.
    return {count == 0 ? 0 : aligned >> (64 - 4 * count), count};
}

// Bit i set where block[i] is the delimiter, for the 64 bytes at block.
std::uint64_t delimiter_mask(const char* block, char delimiter) {
    const __m128i delimiters = _mm_set1_epi8(delimiter);
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = load16(block + 16 * i);
        const auto lanes =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, delimiters)));
        mask |= std::uint64_t{lanes} << 16 * i;
    }
    return mask;
}

}  // namespace
}  // namespace hexrace::parse_detail
