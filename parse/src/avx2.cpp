// The AVX2 path: for lists, the SSSE3 path's token kernels in VEX encoding, with each block
// classified 32 bytes at a time, and BMI's tzcnt and blsr, which every AVX2 CPU has, to walk its
// token ends; for bytes, 32 digits a register, white space packed away through the SSSE3 path's
// table of shuffles.
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

HEXRACE_TARGET_BEGIN("avx2,bmi,bmi2,popcnt")
#include "x86_bytes.h"
#include "x86_kernels.h"
#include "x86_short_tokens.h"

namespace hexrace::parse_detail {
namespace {

__m256i splat32(char byte) {
    return _mm256_set1_epi8(byte);
}

__m256i load32(const char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Where 32 bytes are digits: signed compares, so that bytes from 0x80 up are neither kind.
__m256i digit_lanes32(__m256i bytes) {
    const __m256i folded = _mm256_or_si256(bytes, splat32(0x20));
    const __m256i decimal = _mm256_and_si256(_mm256_cmpgt_epi8(bytes, splat32('0' - 1)),
                                             _mm256_cmpgt_epi8(splat32('9' + 1), bytes));
    const __m256i letter = _mm256_and_si256(_mm256_cmpgt_epi8(folded, splat32('a' - 1)),
                                            _mm256_cmpgt_epi8(splat32('f' + 1), folded));
    return _mm256_or_si256(decimal, letter);
}

// Where 32 bytes are ASCII white space.
__m256i space_lanes32(__m256i bytes) {
    const __m256i from_tab = _mm256_sub_epi8(bytes, splat32('\t'));
    return _mm256_or_si256(
        _mm256_cmpeq_epi8(bytes, splat32(' ')),
        _mm256_cmpeq_epi8(_mm256_min_epu8(from_tab, splat32('\r' - '\t')), from_tab));
}

// Each digit's value: its low nibble, 9 more for a letter (a byte above '9').
__m256i digit_values32(__m256i bytes) {
    const __m256i letter_adjust =
        _mm256_and_si256(_mm256_cmpgt_epi8(bytes, splat32('9')), splat32(9));
    return _mm256_and_si256(_mm256_add_epi8(bytes, letter_adjust), splat32(0x0F));
}

// The 64 bytes at block, 32 at a time.
template <Format F>
Block classify(const char* block, char delimiter) {
    const __m256i wanted = splat32(F == Format::kLines ? '\n' : delimiter);
    std::uint64_t ends = 0;
    std::uint64_t digits = 0;
    std::uint64_t returns = 0;
    for (int i = 0; i < 2; ++i) {
        const __m256i bytes = load32(block + 32 * i);
        const auto mask = [](__m256i lanes) {
            return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes))};
        };
        const __m256i hits =
            F == Format::kWords ? space_lanes32(bytes) : _mm256_cmpeq_epi8(bytes, wanted);
        ends |= mask(hits) << 32 * i;
        digits |= mask(digit_lanes32(bytes)) << 32 * i;
        if constexpr (F == Format::kLines) {
            returns |= mask(_mm256_cmpeq_epi8(bytes, splat32('\r'))) << 32 * i;
        }
    }
    return block_of<F>(block, ends, digits, returns);
}

// Hex text to bytes and back, for bytes.h.

// Pairs into 16 bits with pmaddubsw, then into bytes; packing works within 128-bit halves, which
// one permute puts back in order.
bool decode64(const char* text, std::uint8_t* out) {
    const __m256i first = load32(text);
    const __m256i second = load32(text + 32);
    if (_mm256_movemask_epi8(_mm256_and_si256(digit_lanes32(first), digit_lanes32(second))) != -1) {
        return false;
    }
    const __m256i weights = _mm256_set1_epi16(0x0110);  // 16 for the first digit, 1 for the second
    const __m256i packed =
        _mm256_packus_epi16(_mm256_maddubs_epi16(digit_values32(first), weights),
                            _mm256_maddubs_epi16(digit_values32(second), weights));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute4x64_epi64(packed, 0xD8));
    return true;
}

Classes classify64(const char* block) {
    const Block found = classify<Format::kWords>(block, ' ');
    return {found.digits, found.ends};
}

std::size_t compress64(const char* block, std::uint64_t keep, char* to) {
    return compress64_by_table(block, keep, to);
}

// Sixteen bytes at a time widened to 16-bit lanes: the high nibble into the low byte, the low
// nibble into the high one, each looked up in the digits.
void encode32(const std::uint8_t* in, char* out, const char* digit_chars) {
    const __m256i digits =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(digit_chars)));
    for (int i = 0; i < 2; ++i) {
        const __m256i lanes =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * i)));
        const __m256i nibbles =
            _mm256_or_si256(_mm256_srli_epi16(lanes, 4),
                            _mm256_slli_epi16(_mm256_and_si256(lanes, _mm256_set1_epi16(0x0F)), 8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * i),
                            _mm256_shuffle_epi8(digits, nibbles));
    }
}

}  // namespace
}  // namespace hexrace::parse_detail

// The paths over the primitives just defined.
#include "bytes.h"
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const ListFunctions avx2_functions = kVectorFunctions;
extern const BytesFunctions avx2_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
