// The AVX-512 path: for lists, each 64-byte block classified in one register, straight into bit
// masks, and blocks of words of one or two digits (hexdumps) packed into the output with VBMI2's
// compress, a block at a time, tokens taken with the SSSE3 path's kernels in EVEX encoding; for
// bytes, 64 digits a register.
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
#include "x86_kernels.h"

namespace hexrace::parse_detail {
namespace {

__m512i splat64(char byte) {
    return _mm512_set1_epi8(byte);
}

__m512i load64(const char* p) {
    return _mm512_loadu_si512(p);
}

// Where 64 bytes are digits, and where ASCII white space.
std::uint64_t digit_mask(__m512i bytes) {
    return _mm512_cmple_epu8_mask(_mm512_sub_epi8(bytes, splat64('0')), splat64(9)) |
           _mm512_cmple_epu8_mask(
               _mm512_sub_epi8(_mm512_or_si512(bytes, splat64(0x20)), splat64('a')), splat64(5));
}

std::uint64_t space_mask(__m512i bytes) {
    return _mm512_cmpeq_epi8_mask(bytes, splat64(' ')) |
           _mm512_cmple_epu8_mask(_mm512_sub_epi8(bytes, splat64('\t')), splat64('\r' - '\t'));
}

// The 64 bytes at block, in one register.
template <Format F>
Block classify(const char* block, char delimiter) {
    const __m512i bytes = load64(block);
    const std::uint64_t ends =
        F == Format::kWords
            ? space_mask(bytes)
            : _mm512_cmpeq_epi8_mask(bytes, splat64(F == Format::kLines ? '\n' : delimiter));
    const std::uint64_t digits = digit_mask(bytes);
    const std::uint64_t returns =
        F == Format::kLines ? _mm512_cmpeq_epi8_mask(bytes, splat64('\r')) : 0;
    return block_of<F>(block, ends, digits, returns);
}

struct alignas(64) Places64 {
    std::uint8_t lanes[64];
};

// Lane i takes lane i + 1.
constexpr Places64 kNextPlace = [] {
    Places64 next{};
    for (int i = 0; i < 64; ++i) {
        next.lanes[i] = static_cast<std::uint8_t>((i + 1) % 64);
    }
    return next;
}();

// The value of the token of one or two digits at each of `starts` of a block, gathered in order
// with one compress and widened into out[0], out[1], ... with masked stores, which write nothing
// past the last. `digits` are the block's digits. Returns how many.
template <typename Out>
std::size_t store_short_tokens(const char* block, std::uint64_t starts, std::uint64_t digits,
                               Sink<Out> out) {
    const __m512i bytes = load64(block);
    const __m512i letter_adjust =
        _mm512_maskz_mov_epi8(_mm512_cmpgt_epi8_mask(bytes, splat64('9')), splat64(9));
    const __m512i values = _mm512_and_si512(_mm512_add_epi8(bytes, letter_adjust), splat64(0x0F));
    // Each place's next value: the values moved down one place, the last place's from nothing.
    const __m512i next = _mm512_maskz_permutexvar_epi8(~std::uint64_t{0} >> 1,
                                                       _mm512_load_si512(kNextPlace.lanes), values);
    // Values below 16: a shift of the 16-bit lanes moves none into its neighbour.
    const __m512i pairs = _mm512_or_si512(_mm512_slli_epi16(values, 4), next);
    const __m512i shorts = _mm512_mask_blend_epi8(digits >> 1, values, pairs);
    const __m512i packed = _mm512_maskz_compress_epi8(starts, shorts);
    const auto count = static_cast<std::size_t>(std::popcount(starts));
    if constexpr (sizeof(Out) == 1) {
        _mm512_mask_storeu_epi8(out.at(0), _bzhi_u64(~std::uint64_t{0}, count), packed);
        return count;
    }
    // A block holds at most 32 tokens: every load below, at most 16 bytes from place 24 (or 32
    // from place 0), stays in it.
    alignas(64) std::uint8_t gathered[64];
    _mm512_store_si512(gathered, packed);
    constexpr std::size_t kLanes = 64 / sizeof(Out);
    for (std::size_t done = 0; done < count; done += kLanes) {
        const std::size_t here = std::min(count - done, kLanes);
        const auto lanes = static_cast<std::uint32_t>(_bzhi_u32(~0u, static_cast<unsigned>(here)));
        void* const to = out.at(done);
        if constexpr (sizeof(Out) == 8) {
            const __m128i bytes8 =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(gathered + done));
            const auto mask = static_cast<__mmask8>(lanes);
            _mm512_mask_storeu_epi64(to, mask, _mm512_maskz_cvtepu8_epi64(mask, bytes8));
        } else if constexpr (sizeof(Out) == 4) {
            const __m128i bytes16 =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(gathered + done));
            const auto mask = static_cast<__mmask16>(lanes);
            _mm512_mask_storeu_epi32(to, mask, _mm512_maskz_cvtepu8_epi32(mask, bytes16));
        } else {
            const __m256i bytes32 =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(gathered + done));
            _mm512_mask_storeu_epi16(to, lanes, _mm512_maskz_cvtepu8_epi16(lanes, bytes32));
        }
    }
    return count;
}

// Hex text to bytes and back, for bytes.h: 64 digits in one register, pairs narrowed into bytes
// with vpmovwb, white space packed away with VBMI2's compress.
bool decode64(const char* text, std::uint8_t* out) {
    const __m512i bytes = load64(text);
    if (digit_mask(bytes) != ~std::uint64_t{0}) {
        return false;
    }
    // Each digit's value: its low nibble, 9 more for a letter.
    const __m512i values = _mm512_and_si512(
        _mm512_mask_add_epi8(bytes, _mm512_cmpgt_epu8_mask(bytes, splat64('9')), bytes, splat64(9)),
        splat64(0x0F));
    const __m512i pairs = _mm512_maddubs_epi16(values, _mm512_set1_epi16(0x0110));
    // The masked forms: GCC's plain ones read an undefined register, which -Wmaybe-uninitialized
    // reports.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm512_maskz_cvtepi16_epi8(~__mmask32{0}, pairs));
    return true;
}

Classes classify64(const char* block) {
    const __m512i bytes = load64(block);
    return {digit_mask(bytes), space_mask(bytes)};
}

std::size_t compress64(const char* block, std::uint64_t keep, char* to) {
    _mm512_storeu_si512(to, _mm512_maskz_compress_epi8(keep, load64(block)));
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

// The paths over the primitives just defined.
#include "bytes.h"
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const ListFunctions avx512_functions = kVectorFunctions;
extern const BytesFunctions avx512_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
