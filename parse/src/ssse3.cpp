// The SSSE3 path: the vector kernels for the x86-64 CPUs of the last fifteen years or so.
#include <immintrin.h>

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "paths.h"
#include "swar.h"
#include "target_region.h"

HEXRACE_TARGET_BEGIN("ssse3")
#include "x86_kernels.h"
// The path over the primitives just defined.
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const Path ssse3_path = {"ssse3", vector_parse32, vector_parse64, vector_parse_list};

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
