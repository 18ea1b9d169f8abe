// OpenSSL's hex string functions, built where the build found libcrypto. Both need a NUL at the
// end of what they read or write.
#include <openssl/crypto.h>

#include <system_error>

#include "byte_codecs.h"
#include "hex_converters.h"

namespace hexrace::bench {

// Reads up to the NUL after `last`, which the suite's texts have; no separator between pairs.
HEXRACE_NOINLINE HexListResult openssl_decode(const char* first, const char* last,
                                              std::uint8_t* out, std::size_t capacity) {
    std::size_t length = 0;
    if (OPENSSL_hexstr2buf_ex(out, capacity, &length, first, '\0') != 1) {
        return {first, std::errc::invalid_argument, 0};
    }
    return {last, std::errc{}, length};
}

// Upper case, always; writes a NUL after the text, for which the caller leaves room.
HEXRACE_NOINLINE char* openssl_encode(const std::uint8_t* first, const std::uint8_t* last,
                                      char* out, HexCase) {
    const auto size = static_cast<std::size_t>(last - first);
    std::size_t length = 0;
    OPENSSL_buf2hexstr_ex(out, 2 * size + 1, &length, first, size, '\0');
    return out + 2 * size;
}

}  // namespace hexrace::bench
