// Boost's hex and unhex, built where the build found Boost's headers.
#include <boost/algorithm/hex.hpp>

#include <system_error>

#include "byte_codecs.h"
#include "hex_converters.h"

namespace hexrace::bench {

// unhex throws on a byte that is no digit and on an odd number of them.
HEXRACE_NOINLINE HexListResult boost_decode(const char* first, const char* last, std::uint8_t* out,
                                            std::size_t) {
    try {
        const std::uint8_t* const end = boost::algorithm::unhex(first, last, out);
        return {last, std::errc{}, static_cast<std::size_t>(end - out)};
    } catch (const boost::algorithm::hex_decode_error&) {
        return {first, std::errc::invalid_argument, 0};
    }
}

HEXRACE_NOINLINE char* boost_encode(const std::uint8_t* first, const std::uint8_t* last, char* out,
                                    HexCase) {
    return boost::algorithm::hex_lower(first, last, out);
}

}  // namespace hexrace::bench
