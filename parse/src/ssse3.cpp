// The SSSE3 path, lists and bytes, for the x86-64 CPUs of the last fifteen years or so. What it
// shares with the other paths is included before the target region, so that it is compiled for
// every CPU.
#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "list.h"
#include "paths.h"
#include "target_region.h"

HEXRACE_TARGET_BEGIN("ssse3")
#include "x86_bytes.h"
#include "x86_kernels.h"
#include "x86_short_tokens.h"

namespace hexrace::parse_detail {
namespace {

// The 64 bytes at block, sixteen at a time.
template <Format F>
Block classify(const char* block, char delimiter) {
    const __m128i wanted = _mm_set1_epi8(F == Format::kLines ? '\n' : delimiter);
    std::uint64_t ends = 0;
    std::uint64_t digits = 0;
    std::uint64_t returns = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = load16(block + 16 * i);
        const auto mask = [](__m128i lanes) {
            return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(lanes))};
        };
        ends |= mask(ends16<F>(bytes, wanted)) << 16 * i;
        digits |= mask(digit_lanes(bytes)) << 16 * i;
        if constexpr (F == Format::kLines) {
            returns |= mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))) << 16 * i;
        }
    }
    return block_of<F>(block, ends, digits, returns);
}

// Hex text to bytes and back, for bytes.h, sixteen bytes a register.
// 64 digits into 32 bytes, sixteen at a time: pairs into 16 bits (16 x first + second) with
// pmaddubsw, then into bytes.
bool decode64(const char* text, std::uint8_t* out) {
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

// Sixteen bytes' nibbles, in their 16-bit lanes (byte in the low half), as 32 digits: the high
// nibble into the low byte, the low nibble into the high one, each looked up in `digits`.
__m128i digits_of(__m128i lanes, __m128i digits) {
    const __m128i nibbles = _mm_or_si128(
        _mm_srli_epi16(lanes, 4), _mm_slli_epi16(_mm_and_si128(lanes, _mm_set1_epi16(0x0F)), 8));
    return _mm_shuffle_epi8(digits, nibbles);
}

void encode32(const std::uint8_t* in, char* out, const char* digit_chars) {
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

Classes classify64(const char* block) {
    const Block found = classify<Format::kWords>(block, ' ');
    return {found.digits, found.ends};
}

std::size_t compress64(const char* block, std::uint64_t keep, char* to) {
    return compress64_by_table(block, keep, to);
}

}  // namespace
}  // namespace hexrace::parse_detail

// The paths over the primitives just defined.
#include "bytes.h"
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const ListFunctions ssse3_functions = kVectorFunctions;
extern const BytesFunctions ssse3_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
