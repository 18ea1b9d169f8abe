// Words of one or two digits (a hexdump), a block at a time, for the x86-64 paths without a
// compress instruction: the value at every place of the block in four sixteen-byte steps, then one
// store a token. Included inside a target region, after x86_kernels.h.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "paths.h"
#include "x86_kernels.h"

namespace hexrace::parse_detail {
namespace {

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
std::size_t store_short_tokens(const char* block, std::uint64_t starts, std::uint64_t,
                               Sink<Out> out) {
    alignas(16) std::uint8_t values[64];
    short_values(block, values);
    return store_each(values, starts, out);
}

}  // namespace
}  // namespace hexrace::parse_detail
