// Hex text to bytes and back in sixteen-byte registers, for bytes.h on the x86-64 paths: the
// SSSE3 path's kernels, and what the AVX2 path keeps of them (the rest unused there). Included only
// inside a target region, after x86_kernels.h.
#pragma once

#include <immintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "paths.h"
#include "x86_kernels.h"

namespace hexrace::parse_detail {
namespace {

// For each mask of eight bytes, the places of its set bits in order, as pshufb indices.
struct CompressTable {
    std::uint64_t indices[256];
};

constexpr CompressTable make_compress_table() {
    CompressTable table{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        std::uint64_t indices = 0;
        int count = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((mask >> bit & 1) != 0) {
                indices |= std::uint64_t(bit) << 8 * count++;
            }
        }
        table.indices[mask] = indices;
    }
    return table;
}

inline constexpr CompressTable kCompress = make_compress_table();

// The bytes of `keep` in a 64-byte block packed at `to`, eight at a time through the table.
std::size_t compress64_by_table(const char* block, std::uint64_t keep, char* to) {
    std::size_t count = 0;
    for (int i = 0; i < 4; ++i, keep >>= 16) {
        const unsigned low = keep & 0xFF;
        const unsigned high = keep >> 8 & 0xFF;
        const __m128i order =
            _mm_set_epi64x(static_cast<long long>(kCompress.indices[high] + 0x0808080808080808),
                           static_cast<long long>(kCompress.indices[low]));
        const __m128i packed = _mm_shuffle_epi8(load16(block + 16 * i), order);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(to + count), packed);
        count += static_cast<std::size_t>(std::popcount(low));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(to + count),
                         _mm_unpackhi_epi64(packed, packed));
        count += static_cast<std::size_t>(std::popcount(high));
    }
    return count;
}

// 64 digits into 32 bytes, sixteen at a time: pairs into 16 bits (16 x first + second) with
// pmaddubsw, then into bytes.
[[maybe_unused]] bool decode64_by_16(const char* text, std::uint8_t* out) {
    __m128i bytes[4];
    __m128i digits = _mm_set1_epi8(-1);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = load16(text + 16 * i);
        digits = _mm_and_si128(digits, digit_lanes(bytes[i]));
    }
    if (_mm_movemask_epi8(digits) != 0xFFFF) {
        return false;
    }
    const __m128i weights = operand(constants().pair_weights);
    for (int i = 0; i < 4; i += 2) {
        const __m128i first = _mm_maddubs_epi16(digit_values(bytes[i]), weights);
        const __m128i second = _mm_maddubs_epi16(digit_values(bytes[i + 1]), weights);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * i), _mm_packus_epi16(first, second));
    }
    return true;
}

// Where a 64-byte block holds digits and white space, sixteen bytes at a time.
[[maybe_unused]] Classes classify64_by_16(const char* block) {
    Classes found{0, 0};
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = load16(block + 16 * i);
        const auto mask = [](__m128i lanes) {
            return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(lanes))};
        };
        found.digits |= mask(digit_lanes(bytes)) << 16 * i;
        found.spaces |= mask(ends16<Format::kWords>(bytes, bytes)) << 16 * i;
    }
    return found;
}

// Sixteen bytes' nibbles, in their 16-bit lanes (byte in the low half), as 32 digits: the high
// nibble into the low byte, the low nibble into the high one, each looked up in `digits`.
__m128i digits_of(__m128i lanes, __m128i digits) {
    const __m128i nibbles = _mm_or_si128(
        _mm_srli_epi16(lanes, 4), _mm_slli_epi16(_mm_and_si128(lanes, _mm_set1_epi16(0x0F)), 8));
    return _mm_shuffle_epi8(digits, nibbles);
}

[[maybe_unused]] void encode32_by_16(const std::uint8_t* in, char* out, const char* digit_chars) {
    const __m128i digits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(digit_chars));
    for (int i = 0; i < 2; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * i));
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * i),
                         digits_of(_mm_unpacklo_epi8(bytes, zero), digits));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32 * i + 16),
                         digits_of(_mm_unpackhi_epi8(bytes, zero), digits));
    }
}

}  // namespace
}  // namespace hexrace::parse_detail
