// The SSSE3 list path, for the x86-64 CPUs of the last fifteen years or so. What it shares with the
// other paths is included before the target region, so that it is compiled for every CPU.
#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>

#include "list.h"
#include "paths.h"
#include "target_region.h"

HEXRACE_TARGET_BEGIN("ssse3")
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

}  // namespace
}  // namespace hexrace::parse_detail

// The path over the primitives just defined.
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const ListFunctions ssse3_functions = kVectorFunctions;

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
