// Hex text to bytes and back with AVX-512: 64 text bytes a register, classified straight into
// masks, pairs narrowed into bytes with vpmovwb, white space packed away with VBMI2's compress.
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

HEXRACE_TARGET_BEGIN("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt")

namespace hexrace::parse_detail {
namespace {

__m512i splat(char byte) {
    return _mm512_set1_epi8(byte);
}

std::uint64_t digit_mask(__m512i bytes) {
    return _mm512_cmple_epu8_mask(_mm512_sub_epi8(bytes, splat('0')), splat(9)) |
           _mm512_cmple_epu8_mask(_mm512_sub_epi8(_mm512_or_si512(bytes, splat(0x20)), splat('a')),
                                  splat(5));
}

bool decode64(const char* text, std::uint8_t* out) {
    const __m512i bytes = _mm512_loadu_si512(text);
    if (digit_mask(bytes) != ~std::uint64_t{0}) {
        return false;
    }
    // Each digit's value: its low nibble, 9 more for a letter.
    const __m512i values = _mm512_and_si512(
        _mm512_mask_add_epi8(bytes, _mm512_cmpgt_epu8_mask(bytes, splat('9')), bytes, splat(9)),
        splat(0x0F));
    const __m512i pairs = _mm512_maddubs_epi16(values, _mm512_set1_epi16(0x0110));
    // The masked forms: GCC's plain ones read an undefined register, which -Wmaybe-uninitialized
    // reports.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm512_maskz_cvtepi16_epi8(~__mmask32{0}, pairs));
    return true;
}

Classes classify64(const char* block) {
    const __m512i bytes = _mm512_loadu_si512(block);
    return {digit_mask(bytes),
            _mm512_cmpeq_epi8_mask(bytes, splat(' ')) |
                _mm512_cmple_epu8_mask(_mm512_sub_epi8(bytes, splat('\t')), splat('\r' - '\t'))};
}

std::size_t compress64(const char* block, std::uint64_t keep, char* to) {
    _mm512_storeu_si512(to, _mm512_maskz_compress_epi8(keep, _mm512_loadu_si512(block)));
    return static_cast<std::size_t>(std::popcount(keep));
}

// 32 bytes widened to 16-bit lanes: the high nibble into the low byte, the low nibble into the
// high one, each looked up in the digits.
void encode32(const std::uint8_t* in, char* out, const char* digit_chars) {
    const __m512i digits = _mm512_maskz_broadcast_i32x4(
        ~__mmask16{0}, _mm_loadu_si128(reinterpret_cast<const __m128i*>(digit_chars)));
    const __m512i lanes =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)));
    const __m512i nibbles =
        _mm512_or_si512(_mm512_srli_epi16(lanes, 4),
                        _mm512_slli_epi16(_mm512_and_si512(lanes, _mm512_set1_epi16(0x0F)), 8));
    _mm512_storeu_si512(out, _mm512_shuffle_epi8(digits, nibbles));
}

}  // namespace
}  // namespace hexrace::parse_detail

#include "bytes.h"

namespace hexrace::parse_detail {

extern const BytesFunctions avx512_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
