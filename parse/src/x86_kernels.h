// The x86-64 vector primitives for vector_path.h: sixteen text bytes in an SSE register. Included
// only inside a target region (ssse3.cpp, avx2.cpp, avx512.cpp), which compiles its own copy for
// its instruction set: hence the unnamed namespace.
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

// Where sixteen text bytes are digits.
__m128i digit_lanes(__m128i text) {
    const Constants& k = constants();
    // Signed compares: bytes from 0x80 up are negative, so never above '0' - 1 or 'a' - 1.
    const __m128i decimal = _mm_and_si128(_mm_cmpgt_epi8(text, operand(k.below_zero)),
                                          _mm_cmpgt_epi8(operand(k.above_nine), text));
    const __m128i folded = _mm_or_si128(text, operand(k.case_bit));
    const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(folded, operand(k.below_a)),
                                          _mm_cmpgt_epi8(operand(k.above_f), folded));
    return _mm_or_si128(decimal, letters);
}

// Each digit's value, 0 to 15: its low nibble, 9 more for a letter (a byte above '9'). Other bytes
// give some value below 16 too, which cannot reach a digit's place.
__m128i digit_values(__m128i text) {
    const Constants& k = constants();
    const __m128i letter_adjust =
        _mm_and_si128(_mm_cmpgt_epi8(text, operand(k.above_nine)), operand(k.nine));
    return _mm_and_si128(_mm_add_epi8(text, letter_adjust), operand(k.low_nibble));
}

// The sixteen places of sixteen text bytes, the first byte's highest: pairs of digits into 16 bits
// (16 x first + second) with SSSE3's pmaddubsw, pairs of those into 32, then the four 16-bit
// groups gathered into one word: two instructions fewer than SSE2's way, which parse_hex takes.
[[maybe_unused]] std::uint64_t places_of(__m128i text) {
    const Constants& k = constants();
    const __m128i pairs = _mm_maddubs_epi16(digit_values(text), operand(k.pair_weights));
    const __m128i groups = _mm_madd_epi16(pairs, operand(k.group_weights));
    return static_cast<std::uint64_t>(
        _mm_cvtsi128_si64(_mm_shuffle_epi8(groups, operand(k.gather))));
}

// How many of sixteen text bytes are digits before the first that is none.
[[maybe_unused]] int count_digits(__m128i text) {
    return std::countr_zero(~static_cast<unsigned>(_mm_movemask_epi8(digit_lanes(text))));
}

// Where sixteen bytes end a token of format F: the delimiter ("\n" for lines, which `wanted`
// holds), or white space (" ", "\t" to "\r") for words.
template <Format F>
__m128i ends16(__m128i bytes, __m128i wanted) {
    if constexpr (F == Format::kWords) {
        const __m128i from_tab = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
        return _mm_or_si128(
            _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
            _mm_cmpeq_epi8(_mm_min_epu8(from_tab, _mm_set1_epi8('\r' - '\t')), from_tab));
    } else {
        return _mm_cmpeq_epi8(bytes, wanted);
    }
}

}  // namespace
}  // namespace hexrace::parse_detail
