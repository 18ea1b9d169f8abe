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

// Where sixteen text bytes are digits.
uint8x16_t digit_lanes(uint8x16_t text) {
    const uint8x16_t decimal = vcleq_u8(vsubq_u8(text, vdupq_n_u8('0')), vdupq_n_u8(9));
    const uint8x16_t folded = vorrq_u8(text, vdupq_n_u8(0x20));
    return vorrq_u8(decimal, vcleq_u8(vsubq_u8(folded, vdupq_n_u8('a')), vdupq_n_u8(5)));
}

// Each digit's value: its low nibble, 9 more for a letter (a byte above '9'). Bytes that are no
// digit give some value below 16 too.
uint8x16_t digit_values(uint8x16_t text) {
    const uint8x16_t letter_adjust = vandq_u8(vcgtq_u8(text, vdupq_n_u8('9')), vdupq_n_u8(9));
    return vandq_u8(vaddq_u8(text, letter_adjust), vdupq_n_u8(0x0F));
}

// The values of sixteen bytes as sixteen places, the first byte's highest: each pair into one
// byte (16 x first + second), the first pair lowest, swapped into place.
std::uint64_t places_of(uint8x16_t text) {
    const uint16x8_t lanes = vreinterpretq_u16_u8(digit_values(text));
    const uint8x8_t pairs = vmovn_u16(vorrq_u16(vshlq_n_u16(lanes, 4), vshrq_n_u16(lanes, 8)));
    return __builtin_bswap64(vget_lane_u64(vreinterpret_u64_u8(pairs), 0));
}

// How many of sixteen text bytes are digits before the first that is none.
int count_digits(uint8x16_t text) {
    // Four bits a byte, set where it is a digit: NEON has no byte mask of one bit a lane.
    const uint8x8_t nibbles = vshrn_n_u16(vreinterpretq_u16_u8(digit_lanes(text)), 4);
    return std::countr_zero(~vget_lane_u64(vreinterpret_u64_u8(nibbles), 0)) / 4;
}

// The value of a token of one or two digits starting at each place of a block that ends in no
// digit: the digit, or 16 x it + the next where that is a digit too.
void short_values(const char* block, std::uint8_t (&values)[64]) {
    uint8x16_t text = load16(block);
    for (int i = 0; i < 4; ++i) {
        // The last chunk's byte after it is no digit's second.
        const uint8x16_t next = i < 3 ? load16(block + 16 * i + 16) : vdupq_n_u8(0);
        const uint8x16_t here = digit_values(text);
        const uint8x16_t after = vextq_u8(here, digit_values(next), 1);
        const uint8x16_t pairs = vorrq_u8(vshlq_n_u8(here, 4), after);
        const uint8x16_t second = vextq_u8(digit_lanes(text), digit_lanes(next), 1);
        vst1q_u8(values + 16 * i, vbslq_u8(second, pairs, here));
        text = next;
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

// Where sixteen bytes end a token of format F: the delimiter ("\n" for lines, which `wanted`
// holds), or white space (" ", "\t" to "\r") for words.
template <Format F>
uint8x16_t ends16(uint8x16_t bytes, uint8x16_t wanted) {
    if constexpr (F == Format::kWords) {
        return vorrq_u8(vceqq_u8(bytes, vdupq_n_u8(' ')),
                        vcleq_u8(vsubq_u8(bytes, vdupq_n_u8('\t')), vdupq_n_u8('\r' - '\t')));
    } else {
        return vceqq_u8(bytes, wanted);
    }
}

// One bit a lane of four vectors of lanes all set or all clear, for the 64 bytes they hold: each
// lane weighted by its bit, then pairwise sums down to one byte per eight lanes.
std::uint64_t mask_of(const uint8x16_t (&lanes)[4]) {
    static constexpr std::uint8_t kWeights[16] = {1, 2, 4, 8, 16, 32, 64, 128,
                                                  1, 2, 4, 8, 16, 32, 64, 128};
    const uint8x16_t weights = vld1q_u8(kWeights);
    uint8x16_t weighted[4];
    for (int i = 0; i < 4; ++i) {
        weighted[i] = vandq_u8(lanes[i], weights);
    }
    const uint8x16_t sums =
        vpaddq_u8(vpaddq_u8(weighted[0], weighted[1]), vpaddq_u8(weighted[2], weighted[3]));
    return vgetq_lane_u64(vreinterpretq_u64_u8(vpaddq_u8(sums, sums)), 0);
}

// The 64 bytes at block, sixteen at a time.
template <Format F>
Block classify(const char* block, char delimiter) {
    const uint8x16_t wanted =
        vdupq_n_u8(static_cast<std::uint8_t>(F == Format::kLines ? '\n' : delimiter));
    uint8x16_t ends[4];
    uint8x16_t digits[4];
    uint8x16_t returns[4];
    for (int i = 0; i < 4; ++i) {
        const uint8x16_t bytes = load16(block + 16 * i);
        ends[i] = ends16<F>(bytes, wanted);
        digits[i] = digit_lanes(bytes);
        returns[i] = vceqq_u8(bytes, vdupq_n_u8('\r'));
    }
    return block_of<F>(block, mask_of(ends), mask_of(digits),
                       F == Format::kLines ? mask_of(returns) : 0);
}

}  // namespace
}  // namespace hexrace::parse_detail

#include "vector_path.h"

namespace hexrace::parse_detail {

extern const ListFunctions neon_functions = kVectorFunctions;

}  // namespace hexrace::parse_detail
