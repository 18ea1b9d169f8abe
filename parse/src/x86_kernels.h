// The x86-64 vector primitives for vector_path.h: sixteen text bytes in an SSE register. Included
// only inside a target region (ssse3.cpp, avx2.cpp), which compiles its own copy for its
// instruction set: hence the unnamed namespace.
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

// The values of sixteen bytes as sixteen places, the first byte's highest: pairs of digits into
// 16 bits (16 x first + second), pairs of those into 32, then the four 16-bit groups gathered into
// one word.
std::uint64_t places_of(__m128i values) {
    const Constants& k = constants();
    const __m128i pairs = _mm_maddubs_epi16(values, operand(k.pair_weights));
    const __m128i groups = _mm_madd_epi16(pairs, operand(k.group_weights));
    return static_cast<std::uint64_t>(
        _mm_cvtsi128_si64(_mm_shuffle_epi8(groups, operand(k.gather))));
}

// The leading digits of sixteen text bytes (0 to 16 of them).
Digits leading_digits(__m128i text) {
    const auto lanes = static_cast<unsigned>(_mm_movemask_epi8(digit_lanes(text)));
    const int count = std::countr_zero(~lanes);
    const std::uint64_t places = places_of(digit_values(text));
    return {count == 0 ? 0 : places >> (64 - 4 * count), count};
}

#if !defined(HEXRACE_OWN_SHORT_TOKENS)
// The value of a token of one or two digits starting at each place of a block that ends in no
// digit: the digit, or 16 x it + the next where that is a digit too.
void short_values(const char* block, std::uint8_t (&values)[64]) {
    __m128i here = digit_values(load16(block));
    __m128i here_digits = digit_lanes(load16(block));
    for (int i = 0; i < 4; ++i) {
        // The last chunk's byte after it is no digit's second.
        const __m128i next_text = i < 3 ? load16(block + 16 * i + 16) : _mm_setzero_si128();
        const __m128i next = digit_values(next_text);
        const __m128i next_digits = digit_lanes(next_text);
        const __m128i pairs =  // values below 16: no shift reaches a neighbour
            _mm_or_si128(_mm_slli_epi16(here, 4), _mm_alignr_epi8(next, here, 1));
        const __m128i second = _mm_alignr_epi8(next_digits, here_digits, 1);
        _mm_store_si128(reinterpret_cast<__m128i*>(values + 16 * i),
                        _mm_or_si128(_mm_and_si128(second, pairs), _mm_andnot_si128(second, here)));
        here = next;
        here_digits = next_digits;
    }
}

// Writes the value of the token of one or two digits at each of `starts` of a block to out[0],
// out[1], ...; `digits` are the block's digits. Returns how many.
template <typename Out>
std::size_t store_short_tokens(const char* block, std::uint64_t starts, std::uint64_t, Out* out) {
    alignas(16) std::uint8_t values[64];
    short_values(block, values);
    return store_each(values, starts, out);
}
#endif

// The value of the first `size` (1 to 16) of sixteen bytes that are known to be digits.
std::uint64_t value_of(__m128i text, std::size_t size) {
    return places_of(digit_values(text)) >> (64 - 4 * size);
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
