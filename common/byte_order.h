// Reading text a word at a time whatever the host's byte order: the converters, the console
// services and the parser all read their texts this way.
#pragma once

#include <cstdint>

namespace hexrace {

// Bytes p[0] to p[3] as a little-endian word: p[0] in the lowest byte, the first character first.
// Compilers turn this into a single load on little-endian hosts (a load and a swap elsewhere).
inline std::uint32_t load_le32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
           std::uint32_t{b[3]} << 24;
}

// Bytes p[0] to p[7] as a little-endian word, p[0] in the lowest byte.
inline std::uint64_t load_le64(const char* p) {
    return std::uint64_t{load_le32(p)} | std::uint64_t{load_le32(p + 4)} << 32;
}

// Bytes p[0] to p[7] as a big-endian word, p[0] in the highest byte.
inline std::uint64_t load_be64(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint64_t{b[0]} << 56 | std::uint64_t{b[1]} << 48 | std::uint64_t{b[2]} << 40 |
           std::uint64_t{b[3]} << 32 | std::uint64_t{b[4]} << 24 | std::uint64_t{b[5]} << 16 |
           std::uint64_t{b[6]} << 8 | std::uint64_t{b[7]};
}

}  // namespace hexrace
