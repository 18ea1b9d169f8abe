// The AVX path: the vector kernels again, in VEX encoding, whose three-operand instructions need
// no register copies. (Compiled for AVX2, GCC would build every constant from a broadcast.)
#include <immintrin.h>

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "paths.h"
#include "swar.h"
#include "target_region.h"

HEXRACE_TARGET_BEGIN("avx")
#include "x86_kernels.h"
// The path over the primitives just defined.
#include "vector_path.h"

namespace hexrace::parse_detail {

extern const Path avx_path = {"avx", vector_parse32, vector_parse64, vector_parse_list};

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
