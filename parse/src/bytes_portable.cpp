// Hex text to bytes and back on any CPU: eight text bytes in a 64-bit word, checked and packed in
// plain arithmetic; white space and encoding a byte at a time.
#include <bit>
#include <cstddef>
#include <cstdint>

#include "hexrace/parse.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

// Eight digits' values, byte i of the text in bits 8i to 8i+3, as four bytes, the first pair
// lowest: each pair into its first byte (16 x first + second), then those gathered.
std::uint32_t pairs4(std::uint64_t values) {
    std::uint64_t x = (values << 4 | values >> 8) & 0x00FF00FF00FF00FF;
    x = (x | x >> 8) & 0x0000FFFF0000FFFF;
    return static_cast<std::uint32_t>(x | x >> 16);
}

bool decode64(const char* text, std::uint8_t* out) {
    std::uint64_t words[8];
    std::uint64_t stops = 0;
    for (int i = 0; i < 8; ++i) {
        words[i] = load_le64(text + 8 * i);
        stops |= stop_bytes(words[i]);
    }
    if (stops != 0) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t pairs = pairs4(nibbles(words[i]));
        for (int k = 0; k < 4; ++k) {
            out[4 * i + k] = static_cast<std::uint8_t>(pairs >> 8 * k);
        }
    }
    return true;
}

Classes classify64(const char* block) {
    Classes found{0, 0};
    for (int i = 0; i < 64; ++i) {
        const char c = block[i];
        found.digits |= std::uint64_t{is_digit(c)} << i;
        found.spaces |= std::uint64_t{c == ' ' || (c >= '\t' && c <= '\r')} << i;
    }
    return found;
}

std::size_t compress64(const char* block, std::uint64_t keep, char* to) {
    std::size_t count = 0;
    for (; keep != 0; keep &= keep - 1) {
        to[count++] = block[std::countr_zero(keep)];
    }
    return count;
}

void encode32(const std::uint8_t* in, char* out, const char* digits) {
    for (int i = 0; i < 32; ++i) {
        out[2 * i] = digits[in[i] >> 4];
        out[2 * i + 1] = digits[in[i] & 0xF];
    }
}

}  // namespace
}  // namespace hexrace::parse_detail

// The roads over the kernels just defined.
#include "bytes.h"

namespace hexrace::parse_detail {

extern const BytesFunctions portable_bytes = kBytesFunctions;

}  // namespace hexrace::parse_detail
