// The portable word-at-a-time kernels: eight text bytes in a 64-bit word, byte i of the text in
// bits 8i to 8i+7 whatever the host's byte order, so that every step below is plain arithmetic.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "byte_order.h"

namespace hexrace::parse_detail {

inline constexpr std::uint64_t kOnes = 0x0101010101010101;
inline constexpr std::uint64_t kHigh = kOnes * 0x80;

constexpr bool is_digit(unsigned char c) {
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

// The first `size` (0 to 7) bytes at p, zeros above them, without touching p[size] or beyond:
// two overlapping four-byte loads for four to seven bytes, the first, middle and last byte below.
inline std::uint64_t load_partial(const char* p, std::size_t size) {
    if (size >= 4) {
        return std::uint64_t{load_le32(p)} | std::uint64_t{load_le32(p + size - 4)}
                                                 << 8 * (size - 4);
    }
    if (size == 0) {
        return 0;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint64_t{b[0]} | std::uint64_t{b[size / 2]} << 8 * (size / 2) |
           std::uint64_t{b[size - 1]} << 8 * (size - 1);
}

// Bit 7 of every byte that is no digit, and nothing else. The top bit is taken off first, so that
// no sum below carries out of its byte; a byte that had it is no digit.
constexpr std::uint64_t stop_bytes(std::uint64_t w) {
    const std::uint64_t low = w & ~kHigh;
    const std::uint64_t folded = low | kOnes * 0x20;  // "A"-"F" onto "a"-"f"; digits have bit 5
    // x + (0x80 - c) has bit 7 set exactly when x >= c.
    const std::uint64_t decimal = (low + kOnes * (0x80 - '0')) & ~(low + kOnes * (0x80 - '9' - 1));
    const std::uint64_t letter =
        (folded + kOnes * (0x80 - 'a')) & ~(folded + kOnes * (0x80 - 'f' - 1));
    return ~((decimal | letter) & ~w) & kHigh;
}

// The value of each digit byte in its byte: the low nibble, plus 9 for letters (bit 6 set).
constexpr std::uint64_t digit_values(std::uint64_t w) {
    return (w & kOnes * 0x0F) + (w >> 6 & kOnes) * 9;
}

// How many bytes come before the first stop, 0 to 8.
constexpr int count_before(std::uint64_t stops) {
    return std::countr_zero(stops) / 8;
}

// All bits of the bytes before the first stop: all eight bytes when there is none.
constexpr std::uint64_t bytes_before(std::uint64_t stops) {
    return ((stops & (0 - stops)) >> 7) - 1;
}

// Eight digit values, byte 0 the most significant, as one 32-bit number: pairs of digits into
// bytes, pairs of bytes into 16 bits, then into 32.
constexpr std::uint32_t pack8(std::uint64_t values) {
    values = (values << 4 | values >> 8) & 0x00FF00FF00FF00FF;
    values = (values << 8 | values >> 16) & 0x0000FFFF0000FFFF;
    return static_cast<std::uint32_t>(values << 16 | values >> 32);
}

// The leading digits of a text: how many (0 to 16) and, when there are some, their value.
struct Digits {
    std::uint64_t value;
    int count;
};

// The leading digits of the sixteen text bytes in w0 (bytes 0 to 7) and w1 (8 to 15), without a
// branch: the second word counts only when the first is digits throughout.
constexpr Digits leading_digits16(std::uint64_t w0, std::uint64_t w1) {
    const std::uint64_t stops0 = stop_bytes(w0);
    const std::uint64_t stops1 = stops0 == 0 ? stop_bytes(w1) : kHigh;
    const int count = count_before(stops0) + count_before(stops1);
    const std::uint64_t aligned = std::uint64_t{pack8(digit_values(w0) & bytes_before(stops0))}
                                      << 32 |
                                  pack8(digit_values(w1) & bytes_before(stops1));
    // Sixteen places with the digits at the top: shift out the places after them.
    return {count == 0 ? 0 : aligned >> 4 * (16 - count), count};
}

// The same for the eight text bytes in w: 0 to 8 digits.
constexpr Digits leading_digits8(std::uint64_t w) {
    const std::uint64_t stops = stop_bytes(w);
    const int count = count_before(stops);
    const std::uint32_t aligned = pack8(digit_values(w) & bytes_before(stops));
    return {count == 0 ? 0 : aligned >> 4 * (8 - count), count};
}

// A text's first eight bytes as the kernels see them, for the checks below.
constexpr std::uint64_t text_word(const char (&text)[9]) {
    std::uint64_t w = 0;
    for (int i = 7; i >= 0; --i) {
        w = w << 8 | static_cast<unsigned char>(text[i]);
    }
    return w;
}

static_assert(stop_bytes(text_word("09afAF/:")) == 0x8080000000000000);
static_assert(stop_bytes(text_word("@G`g\x80\xB0\xC1\xE6")) == kHigh);
static_assert(leading_digits8(text_word("C0000000")).value == 0xC0000000);
static_assert(leading_digits8(text_word("1aB-3333")).value == 0x1AB);
static_assert(leading_digits16(text_word("fedcba98"), text_word("76543210")).value ==
              0xFEDCBA9876543210);
static_assert(leading_digits16(text_word("00000000"), text_word("1g000000")).count == 9);

}  // namespace hexrace::parse_detail
