// parse_hex with the portable kernel, which this file takes (the build defines
// HEXRACE_PARSE_PORTABLE for it alone): what CPUs without a vector kernel run.
#include <cstddef>
#include <cstdint>

#include "hexrace/parse.h"
#include "separate_calls.h"

namespace hexrace::bench {

std::uint32_t call_parse_hex_portable32(const char* text, std::size_t length) {
    std::uint32_t value = 0;
    (void)parse_hex(text, text + length, value);
    return value;
}

std::uint64_t call_parse_hex_portable64(const char* text, std::size_t length) {
    std::uint64_t value = 0;
    (void)parse_hex(text, text + length, value);
    return value;
}

}  // namespace hexrace::bench
