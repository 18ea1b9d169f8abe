// The NEON path (aarch64, where every CPU has NEON): the vector list path's primitives for
// sixteen text bytes in a NEON register.
#include <arm_neon.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "list.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

uint8x16_t load16(const char* p) {
    return vld1q_u8(reinterpret_cast<const std::uint8_t*>(p));
}

// The leading digits of sixteen text bytes (0 to 16 of them).
Digits leading_digits(uint8x16_t text) {
    const uint8x16_t decimal = vcleq_u8(vsubq_u8(text, vdupq_n_u8('0')), vdupq_n_u8(9));
    const uint8x16_t folded = vorrq_u8(text, vdupq_n_u8(0x20));
    const uint8x16_t letters = vcleq_u8(vsubq_u8(folded, vdupq_n_u8('a')), vdupq_n_u8(5));
    // Four bits a byte, set where it is a digit: NEON has no byte mask of one bit a lane.
    const uint8x8_t nibbles = vshrn_n_u16(vreinterpretq_u16_u8(vorrq_u8(decimal, letters)), 4);
    const int count = std::countr_zero(~vget_lane_u64(vreinterpret_u64_u8(nibbles), 0)) / 4;
    // Each digit's value: the low nibble, 9 more for a letter.
    const uint8x16_t values =
        vaddq_u8(vandq_u8(text, vdupq_n_u8(0x0F)), vandq_u8(letters, vdupq_n_u8(9)));
    // Each pair of digits into one byte (16 x first + second), the first pair lowest.
    const uint16x8_t lanes = vreinterpretq_u16_u8(values);
    const uint8x8_t pairs = vmovn_u16(vorrq_u16(vshlq_n_u16(lanes, 4), vshrq_n_u16(lanes, 8)));
    const std::uint64_t aligned = __builtin_bswap64(vget_lane_u64(vreinterpret_u64_u8(pairs), 0));
    // Sixteen places with the digits at the top: shift out the places after them.
    return {count == 0 ? 0 : aligned >> (64 - 4 * count), count};
}

// Bit i set where block[i] is the delimiter, for the 64 bytes at block: each lane weighted by its
// bit, then pairwise sums down to one byte per eight lanes.
std::uint64_t delimiter_mask(const char* block, char delimiter) {
    static constexpr std::uint8_t kWeights[16] = {1, 2, 4, 8, 16, 32, 64, 128,
                                                  1, 2, 4, 8, 16, 32, 64, 128};
    const uint8x16_t weights = vld1q_u8(kWeights);
    const uint8x16_t delimiters = vdupq_n_u8(static_cast<std::uint8_t>(delimiter));
    uint8x16_t weighted[4];
    for (int i = 0; i < 4; ++i) {
        weighted[i] = vandq_u8(vceqq_u8(load16(block + 16 * i), delimiters), weights);
    }
    const uint8x16_t sums =
        vpaddq_u8(vpaddq_u8(weighted[0], weighted[1]), vpaddq_u8(weighted[2], weighted[3]));
    return vgetq_lane_u64(vreinterpretq_u64_u8(vpaddq_u8(sums, sums)), 0);
}

}  // namespace
}  // namespace hexrace::parse_detail

#include "vector_path.h"

namespace hexrace::parse_detail {

HexListResult neon_parse_list(const char* first, const char* last, char delimiter,
                              std::uint64_t* out, std::size_t capacity) {
    return vector_parse_list(first, last, delimiter, out, capacity);
}

}  // namespace hexrace::parse_detail
