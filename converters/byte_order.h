// Reading a text four bytes at a time without caring about the host's byte order.
#pragma once

#include <cstdint>

namespace hexrace {

// Bytes p[0] to p[3] as a little-endian word: p[0] in the lowest byte, the first character first.
// Compilers turn this into a single load on little-endian hosts.
inline std::uint32_t load_le32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
           std::uint32_t{b[3]} << 24;
}

}  // namespace hexrace
