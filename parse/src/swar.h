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
// two overlapping four-byte loads for four to seven bytes, the first, middle and last byte for one
// to three. (A version without branches, every load taken from zeros where the text is too short
// for it, measured slower on texts of random length.)
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

// Bit 7 of every byte of w that is no digit (a stop), exactly up to the first of them; what is
// flagged after it is of no use. A sum carries only into the byte after its own, a later text
// byte, and only out of a stop: so the first stop receives no carry, and is found exactly.
constexpr std::uint64_t stop_bytes(std::uint64_t w) {
    const std::uint64_t folded = w | kOnes * 0x20;  // "A"-"F" onto "a"-"f"; digits have bit 5
    // (x + 0x80 - low) ^ (x + 0x80 - high - 1) has bit 7 set exactly when low <= x <= high, for
    // x below 0x80; bytes from 0x80 up are stops whatever the sums say.
    const std::uint64_t decimal = (w + kOnes * (0x80 - '0')) ^ (w + kOnes * (0x80 - '9' - 1));
    const std::uint64_t letter =
        (folded + kOnes * (0x80 - 'a')) ^ (folded + kOnes * (0x80 - 'f' - 1));
    return (~(decimal | letter) | w) & kHigh;
}

// The value of every digit byte, 0 to 15, in its byte: the low nibble of the byte plus 9 for a
// letter (bit 6 set). Bytes that are no digit give some value below 16 too; a carry out of one
// reaches only the bytes after it, past a stop.
constexpr std::uint64_t nibbles(std::uint64_t w) {
    return (w + (w >> 6 & kOnes) * 9) & kOnes * 0x0F;
}

// How many bytes come before the first stop, 0 to 8.
constexpr int count_before(std::uint64_t stops) {
    return std::countr_zero(stops) / 8;
}

// Byte 0 of x in the highest byte, byte 7 in the lowest.
constexpr std::uint64_t swap_bytes(std::uint64_t x) {
    x = (x & 0x00FF00FF00FF00FF) << 8 | (x >> 8 & 0x00FF00FF00FF00FF);
    x = (x & 0x0000FFFF0000FFFF) << 16 | (x >> 16 & 0x0000FFFF0000FFFF);
    return x << 32 | x >> 32;
}

// Eight nibbles, byte 0 the most significant digit, as one 32-bit number: with byte 0 highest,
// pairs of digits into bytes, pairs of those into 16 bits, then into 32.
constexpr std::uint32_t pack8(std::uint64_t nibbles) {
    std::uint64_t v = swap_bytes(nibbles);
    v = (v | v >> 4) & 0x00FF00FF00FF00FF;
    v = (v | v >> 8) & 0x0000FFFF0000FFFF;
    return static_cast<std::uint32_t>(v | v >> 16);
}

// The leading digits of a text: how many (0 to 16) and, when there are some, their value.
struct Digits {
    std::uint64_t value;
    int count;
};

// The leading digits of the eight text bytes in w: 0 to 8 of them. The places after them are
// shifted out of the packed value.
constexpr Digits leading_digits8(std::uint64_t w) {
    const int count = count_before(stop_bytes(w));
    const std::uint32_t packed = pack8(nibbles(w));
    return {count == 0 ? 0 : packed >> (32 - 4 * count), count};
}

// The same for the sixteen text bytes in w0 (bytes 0 to 7) and w1 (8 to 15), without a branch:
// the second word counts only when the first is digits throughout.
constexpr Digits leading_digits16(std::uint64_t w0, std::uint64_t w1) {
    const std::uint64_t stops0 = stop_bytes(w0);
    const int count = count_before(stops0) + (stops0 == 0 ? count_before(stop_bytes(w1)) : 0);
    const std::uint64_t packed = std::uint64_t{pack8(nibbles(w0))} << 32 | pack8(nibbles(w1));
    return {count == 0 ? 0 : packed >> (64 - 4 * count), count};
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
static_assert(count_before(stop_bytes(text_word("9@123456"))) == 1 &&
              count_before(stop_bytes(text_word("F`123456"))) == 1 &&
              count_before(stop_bytes(text_word("a\xB5"
                                                "123456"))) == 1 &&
              count_before(stop_bytes(text_word("0\xE1"
                                                "123456"))) == 1);
static_assert(leading_digits8(text_word("C0000000")).value == 0xC0000000);
static_assert(leading_digits8(text_word("1aB-3333")).value == 0x1AB);
static_assert(leading_digits16(text_word("fedcba98"), text_word("76543210")).value ==
              0xFEDCBA9876543210);
static_assert(leading_digits16(text_word("00000000"), text_word("1g000000")).count == 9);

}  // namespace hexrace::parse_detail
