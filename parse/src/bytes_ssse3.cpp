// Hex text to bytes and back with SSSE3: sixteen bytes a register, white space packed away
// through a table of shuffles.
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

namespace hexrace::parse_detail {
namespace {

bool decode64(const char* text, std::uint8_t* out) {
    return decode64_by_16(text, out);
}

Classes classify64(const char* block) {
    return classify64_by_16(block);
}

std::size_t compress64(const char* block, std::uint64_t keep, char* to) {
    return compress64_by_table(block, keep, to);
}

void encode32(const std::uint8_t* in, char* out, const char* digits) {
    encode32_by_16(in, out, digits);
}

}  // namespace
}  // namespace hexrace::parse_detail

#include "bytes.h"

namespace hexrace::parse_detail {

extern const BytesFunctions ssse3_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
