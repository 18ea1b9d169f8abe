// Hex text to bytes and back with NEON: vld2q splits 32 digits into the pairs' first and second
// halves, vst2q interleaves the digits of sixteen bytes; white space is packed away through a
// table of shuffles.
#include <arm_neon.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "paths.h"

namespace hexrace::parse_detail {
namespace {

uint8x16_t is_digit16(uint8x16_t text) {
    const uint8x16_t decimal = vcleq_u8(vsubq_u8(text, vdupq_n_u8('0')), vdupq_n_u8(9));
    const uint8x16_t folded = vorrq_u8(text, vdupq_n_u8(0x20));
    return vorrq_u8(decimal, vcleq_u8(vsubq_u8(folded, vdupq_n_u8('a')), vdupq_n_u8(5)));
}

uint8x16_t value16(uint8x16_t text) {
    const uint8x16_t letter_adjust = vandq_u8(vcgtq_u8(text, vdupq_n_u8('9')), vdupq_n_u8(9));
    return vandq_u8(vaddq_u8(text, letter_adjust), vdupq_n_u8(0x0F));
}

bool decode64(const char* text, std::uint8_t* out) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const uint8x16x2_t first = vld2q_u8(bytes);
    const uint8x16x2_t second = vld2q_u8(bytes + 32);
    const uint8x16_t digits =
        vandq_u8(vandq_u8(is_digit16(first.val[0]), is_digit16(first.val[1])),
                 vandq_u8(is_digit16(second.val[0]), is_digit16(second.val[1])));
    if (vminvq_u8(digits) == 0) {
        return false;
    }
    vst1q_u8(out, vorrq_u8(vshlq_n_u8(value16(first.val[0]), 4), value16(first.val[1])));
    vst1q_u8(out + 16, vorrq_u8(vshlq_n_u8(value16(second.val[0]), 4), value16(second.val[1])));
    return true;
}

// One bit a lane of sixteen lanes all set or all clear.
std::uint64_t mask16(uint8x16_t lanes) {
    static constexpr std::uint8_t kWeights[16] = {1, 2, 4, 8, 16, 32, 64, 128,
                                                  1, 2, 4, 8, 16, 32, 64, 128};
    const uint8x16_t weighted = vandq_u8(lanes, vld1q_u8(kWeights));
    const uint8x8_t sums = vpadd_u8(vget_low_u8(weighted), vget_high_u8(weighted));
    const uint8x8_t pairs = vpadd_u8(sums, sums);
    const uint8x8_t quads = vpadd_u8(pairs, pairs);
    return vget_lane_u8(quads, 0) | std::uint64_t{vget_lane_u8(quads, 1)} << 8;
}

Classes classify64(const char* block) {
    Classes found{0, 0};
    for (int i = 0; i < 4; ++i) {
        const uint8x16_t bytes = vld1q_u8(reinterpret_cast<const std::uint8_t*>(block) + 16 * i);
        const uint8x16_t spaces =
            vorrq_u8(vceqq_u8(bytes, vdupq_n_u8(' ')),
                     vcleq_u8(vsubq_u8(bytes, vdupq_n_u8('\t')), vdupq_n_u8('\r' - '\t')));
        found.digits |= mask16(is_digit16(bytes)) << 16 * i;
        found.spaces |= mask16(spaces) << 16 * i;
    }
    return found;
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

#include "bytes.h"

namespace hexrace::parse_detail {

extern const BytesFunctions neon_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
