// parse_hex built with the portable kernel (HEXRACE_PARSE_PORTABLE, set by the build for this file
// alone), in the same program as the tests' own build of it, for every type.
#include <charconv>

#include "hexrace/parse.h"
#include "parse_kernels.h"

namespace hexrace::testing {

template <typename T>
std::from_chars_result parse_hex_portable(const char* first, const char* last, T& value) {
    return parse_hex(first, last, value);
}

#define HEXRACE_PORTABLE_FOR(T) \
    template std::from_chars_result parse_hex_portable(const char*, const char*, T&);
HEXRACE_PORTABLE_FOR(char)
HEXRACE_PORTABLE_FOR(signed char)
HEXRACE_PORTABLE_FOR(unsigned char)
HEXRACE_PORTABLE_FOR(short)
HEXRACE_PORTABLE_FOR(unsigned short)
HEXRACE_PORTABLE_FOR(int)
HEXRACE_PORTABLE_FOR(unsigned)
HEXRACE_PORTABLE_FOR(long)
HEXRACE_PORTABLE_FOR(unsigned long)
HEXRACE_PORTABLE_FOR(long long)
HEXRACE_PORTABLE_FOR(unsigned long long)
#if HEXRACE_PARSE_HAS_INT128
HEXRACE_PORTABLE_FOR(parse_detail::int128)
HEXRACE_PORTABLE_FOR(parse_detail::uint128)
#endif

ParseU32* portable_parse_hex_u32() {
    return &parse_hex<unsigned>;
}

}  // namespace hexrace::testing
