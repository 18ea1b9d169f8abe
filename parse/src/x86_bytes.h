// White space packed out of a 64-byte block with a table of shuffles, for bytes.h on the x86-64
// paths without a compress instruction (SSSE3, AVX2). Included only inside a target region,
// with x86_kernels.h.
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

}  // namespace
}  // namespace hexrace::parse_detail
