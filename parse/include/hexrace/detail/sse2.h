// SPDX-License-Identifier: MIT
// The SSE2 kernel: up to sixteen text bytes in one register, checked and packed at once. SSE2 is
// part of x86-64 itself, so this needs no flag and no check of the CPU. A text shorter than the
// register is loaded with zeros after it, which are no digits.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "hexrace/detail/config.h"
#include "hexrace/detail/swar.h"

namespace hexrace::parse_detail {
inline namespace HEXRACE_PARSE_ABI {
namespace sse2 {

HEXRACE_PARSE_INLINE __m128i from_word(std::uint64_t w) noexcept {
    return _mm_set_epi64x(0, static_cast<long long>(w));
}

HEXRACE_PARSE_INLINE __m128i load8(const char* p) noexcept {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// How many of sixteen text bytes are digits before the first that is none.
HEXRACE_PARSE_INLINE int count_digits(__m128i text) noexcept {
    const __m128i decimal = _mm_sub_epi8(text, _mm_set1_epi8('0'));
    const __m128i is_decimal = _mm_cmpeq_epi8(_mm_min_epu8(decimal, _mm_set1_epi8(9)), decimal);
    const __m128i letter =
        _mm_sub_epi8(_mm_or_si128(text, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
    const __m128i is_letter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(5)), letter);
    const auto stops =
        ~static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(is_decimal, is_letter)));
    // tzcnt where the CPU has it (GCC's choice for __builtin_ctz too); bsf, far slower on some
    // CPUs, where it has not. The same for a value that is not zero, as this one never is.
    unsigned count;
    asm("rep bsfl %1, %0" : "=r"(count) : "r"(stops));
    return static_cast<int>(count);
}

// The sixteen places of sixteen text bytes.
HEXRACE_PARSE_INLINE std::uint64_t places_of(__m128i text) noexcept {
    // A digit's value: its low nibble, 9 more for a letter (a byte from 0x40 up). Every byte
    // stays below 16, so that no stop's value can reach a digit's place.
    const __m128i values = _mm_and_si128(
        _mm_add_epi8(text,
                     _mm_and_si128(_mm_cmpgt_epi8(text, _mm_set1_epi8(0x3F)), _mm_set1_epi8(9))),
        _mm_set1_epi8(0x0F));
    // Pairs of digits into bytes (16 x first + second), gathered into the low eight bytes, which
    // a byte swap turns into sixteen places with the first digit highest.
    const __m128i pairs =
        _mm_or_si128(_mm_srli_epi16(_mm_slli_epi16(values, 8), 4), _mm_srli_epi16(values, 8));
    std::uint64_t packed;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&packed), _mm_packus_epi16(pairs, pairs));
    return __builtin_bswap64(packed);
}

// Shorter texts go through the digit table a byte at a time, which the register does not beat.
inline constexpr std::size_t kShortest = 5;

// Exactly eight bytes: the places from the word in general-purpose registers, which is quicker
// from the bytes to the value than a vector register (the suite's latency row), the count from the
// vector register. Other lengths: both from the vector register.
template <int kRead>
HEXRACE_PARSE_INLINE Places leading_places(const char* first, std::size_t size) noexcept {
    if (size < 8) {  // 5 to 7 bytes
        const __m128i text = from_word(load_4_to_7(first, size));
        return {places_of(text), count_digits(text)};
    }
    if (kRead == 8 || size == 8) {
        return {places8(load_le64(first)).places, count_digits(load8(first))};
    }
    const __m128i text = size >= 16
                             ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(first))
                             : _mm_unpacklo_epi64(load8(first), from_word(load_tail(first, size)));
    return {places_of(text), count_digits(text)};
}

}  // namespace sse2
}  // namespace HEXRACE_PARSE_ABI
}  // namespace hexrace::parse_detail
