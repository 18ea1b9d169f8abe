// The AVX2 list path: the SSSE3 path's token kernels in VEX encoding, with each block classified 32
// bytes at a time, and BMI's tzcnt and blsr, which every AVX2 CPU has, to walk its token ends.
#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>

#include "list.h"
#include "paths.h"
#include "target_region.h"

HEXRACE_TARGET_BEGIN("avx2,bmi,bmi2")
#include "x86_kernels.h"
#include "x86_short_tokens.h"

namespace hexrace::parse_detail {
namespace {

// The 64 bytes at block, 32 at a time.
template <Format F>
Block classify(const char* block, char delimiter) {
    const __m256i wanted = _mm256_set1_epi8(F == Format::kLines ? '\n' : delimiter);
    std::uint64_t ends = 0;
    std::uint64_t digits = 0;
    std::uint64_t returns = 0;
    for (int i = 0; i < 2; ++i) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32 * i));
        const auto mask = [](__m256i lanes) {
            return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes))};
        };
        __m256i hits;
        if constexpr (F == Format::kWords) {
            const __m256i from_tab = _mm256_sub_epi8(bytes, _mm256_set1_epi8('\t'));
            hits = _mm256_or_si256(
                _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(' ')),
                _mm256_cmpeq_epi8(_mm256_min_epu8(from_tab, _mm256_set1_epi8('\r' - '\t')),
                                  from_tab));
        } else {
            hits = _mm256_cmpeq_epi8(bytes, wanted);
        }
        ends |= mask(hits) << 32 * i;
        // Digits: "0"-"9", or "a"-"f" once folded to lower case; signed compares, so that bytes
        // from 0x80 up, negative, are neither.
        const __m256i folded = _mm256_or_si256(bytes, _mm256_set1_epi8(0x20));
        const __m256i decimal =
            _mm256_and_si256(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8('0' - 1)),
                             _mm256_cmpgt_epi8(_mm256_set1_epi8('9' + 1), bytes));
        const __m256i letter =
            _mm256_and_si256(_mm256_cmpgt_epi8(folded, _mm256_set1_epi8('a' - 1)),
                             _mm256_cmpgt_epi8(_mm256_set1_epi8('f' + 1), folded));
        digits |= mask(_mm256_or_si256(decimal, letter)) << 32 * i;
        if constexpr (F == Format::kLines) {
            returns |= mask(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\r'))) << 32 * i;
        }
    }
    return block_of<F>(block, ends, digits, returns);
}

}  // namespace
}  // namespace hexrace::parse_detail

// The path over the primitives just defined.
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const ListFunctions avx2_functions = kVectorFunctions;

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
