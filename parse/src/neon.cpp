// The NEON path (aarch64, where every CPU has NEON): the vector list path's primitives for
// sixteen text bytes in a NEON register, and the byte kernels.
#include <arm_neon.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

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

// Hex text to bytes and back, for bytes.h: vld2q splits 32 digits into the pairs' first and
// second halves, vst2q interleaves the digits of sixteen bytes, and white space is packed away
// through a table of shuffles.
bool decode64(const char* text, std::uint8_t* out) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const uint8x16x2_t first = vld2q_u8(bytes);
    const uint8x16x2_t second = vld2q_u8(bytes + 32);
    const uint8x16_t digits =
        vandq_u8(vandq_u8(digit_lanes(first.val[0]), digit_lanes(first.val[1])),
                 vandq_u8(digit_lanes(second.val[0]), digit_lanes(second.val[1])));
    if (vminvq_u8(digits) == 0) {
        return false;
    }
    vst1q_u8(out, vorrq_u8(vshlq_n_u8(digit_values(first.val[0]), 4), digit_values(first.val[1])));
    vst1q_u8(out + 16,
             vorrq_u8(vshlq_n_u8(digit_values(second.val[0]), 4), digit_values(second.val[1])));
    return true;
}

Classes classify64(const char* block) {
    const Block found = classify<Format::kWords>(block, ' ');
    return {found.digits, found.ends};
}

// For each mask of eight bytes, the places of its set bits in order, as table indices.
struct CompressTable {
    std::uint8_t indices[256][8];
};

constexpr CompressTable make_compress_table() {
    CompressTable table{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        int count = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((mask >> bit & 1) != 0) {
                table.indices[mask][count++] = static_cast<std::uint8_t>(bit);
            }
        }
    }
    return table;
}

constexpr CompressTable kCompress = make_compress_table();

std::size_t compress64(const char* block, std::uint64_t keep, char* to) {
    std::size_t count = 0;
    for (int i = 0; i < 8; ++i, keep >>= 8) {
        const auto mask = static_cast<unsigned>(keep & 0xFF);
        const uint8x8_t bytes = vld1_u8(reinterpret_cast<const std::uint8_t*>(block) + 8 * i);
        vst1_u8(reinterpret_cast<std::uint8_t*>(to + count),
                vtbl1_u8(bytes, vld1_u8(kCompress.indices[mask])));
        count += static_cast<std::size_t>(std::popcount(mask));
    }
    return count;
}

void encode32(const std::uint8_t* in, char* out, const char* digit_chars) {
    const uint8x16_t digits = vld1q_u8(reinterpret_cast<const std::uint8_t*>(digit_chars));
    for (int i = 0; i < 2; ++i) {
        const uint8x16_t bytes = vld1q_u8(in + 16 * i);
        const uint8x16x2_t text = {{vqtbl1q_u8(digits, vshrq_n_u8(bytes, 4)),
                                    vqtbl1q_u8(digits, vandq_u8(bytes, vdupq_n_u8(0x0F)))}};
        vst2q_u8(reinterpret_cast<std::uint8_t*>(out) + 32 * i, text);
    }
}

}  // namespace
}  // namespace hexrace::parse_detail

// The paths over the primitives just defined.
#include "bytes.h"
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const ListFunctions neon_functions = kVectorFunctions;
extern const BytesFunctions neon_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
