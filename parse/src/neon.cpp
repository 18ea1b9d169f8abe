// The NEON path (aarch64, where every CPU has NEON): the vector path's primitives for sixteen text
// bytes in a NEON register.
#include <arm_neon.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "paths.h"
#include "swar.h"

namespace hexrace::parse_detail {
namespace {

uint8x16_t load16(const char* p) {
    return vld1q_u8(reinterpret_cast<const std::uint8_t*>(p));
}

uint8x8_t load8(const char* p) {
    return vld1_u8(reinterpret_cast<const std::uint8_t*>(p));
}

// The first min(size, 8) text bytes in lanes 0 to 7, zeros after them.
uint8x16_t load_text8(const char* first, std::size_t size) {
    const uint8x8_t low = size >= 8 ? load8(first) : vcreate_u8(load_partial(first, size));
    return vcombine_u8(low, vdup_n_u8(0));
}

// Table indices that move the second of two overlapping eight-byte loads to its places, for texts
// of 8 to 15 bytes; an index past the table (0xFF) gives a zero lane.
struct TailIndices {
    std::uint8_t lanes[8][16];
};

constexpr TailIndices make_tail_indices() {
    TailIndices tail{};
    for (int size = 8; size < 16; ++size) {
        for (int i = 0; i < 16; ++i) {
            tail.lanes[size - 8][i] = static_cast<std::uint8_t>(i < 8      ? i
                                                                : i < size ? i + 16 - size
                                                                           : 0xFF);
        }
    }
    return tail;
}

constexpr TailIndices kTailIndices = make_tail_indices();

// The first min(size, 16) text bytes in lanes 0 to 15, zeros after them; nothing outside
// [first, first + size) is read.
uint8x16_t load_text16(const char* first, std::size_t size) {
    if (size >= 16) {
        return load16(first);
    }
    if (size >= 8) {
        const uint8x16_t both = vcombine_u8(load8(first), load8(first + size - 8));
        return vqtbl1q_u8(both, vld1q_u8(kTailIndices.lanes[size - 8]));
    }
    return load_text8(first, size);
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

extern const Path neon_path = {"neon", vector_parse32, vector_parse64, vector_parse_list};

}  // namespace hexrace::parse_detail
