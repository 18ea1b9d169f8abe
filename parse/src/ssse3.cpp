// The SSSE3 list path, for the x86-64 CPUs of the last fifteen years or so. What it shares with the
// other paths is included before the target region, so that it is compiled for every CPU.
#include <immintrin.h>

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "list.h"
#include "paths.h"
#include "target_region.h"

HEXRACE_TARGET_BEGIN("ssse3")
#include "x86_kernels.h"
// The path over the primitives just defined.
#include "vector_path.h"

namespace hexrace::parse_detail {

HexListResult ssse3_parse_list(const char* first, const char* last, char delimiter,
                               std::uint64_t* out, std::size_t capacity) {
    return vector_parse_list(first, last, delimiter, out, capacity);
}

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
