// SPDX-License-Identifier: MIT
// hexrace::parse's portable kernels, inline in the caller: a table of digit values for texts too
// short for a word, and eight text bytes in one 64-bit word otherwise, byte i of the text in bits
// 8i to 8i+7 whatever the host's byte order, so that every step is plain arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "hexrace/detail/config.h"

namespace hexrace::parse_detail {
inline namespace HEXRACE_PARSE_ABI {

inline constexpr std::uint64_t kOnes = 0x0101010101010101;
inline constexpr std::uint64_t kHigh = kOnes * 0x80;
inline constexpr unsigned kNoDigit = 0xFF;

struct DigitTable {
    std::uint8_t value[256];
};

// 0 to 15 for a digit of either case, kNoDigit for every other byte.
constexpr DigitTable make_digit_table() {
    DigitTable table{};
    for (unsigned c = 0; c < 256; ++c) {
        const unsigned folded = c | 0x20;  // "A"-"F" onto "a"-"f"
        table.value[c] =
            static_cast<std::uint8_t>(c >= '0' && c <= '9'             ? c - '0'
                                      : folded >= 'a' && folded <= 'f' ? folded - 'a' + 10
                                                                       : kNoDigit);
    }
    return table;
}

inline constexpr DigitTable kDigitValues = make_digit_table();

constexpr unsigned digit_value(char c) {
    return kDigitValues.value[static_cast<unsigned char>(c)];
}

static_assert(digit_value('0') == 0 && digit_value('9') == 9 && digit_value('A') == 10 &&
              digit_value('f') == 15 && digit_value('/') == kNoDigit &&
              digit_value(':') == kNoDigit && digit_value('@') == kNoDigit &&
              digit_value('G') == kNoDigit && digit_value('`') == kNoDigit &&
              digit_value('g') == kNoDigit && digit_value('\xC1') == kNoDigit &&
              digit_value('\xE6') == kNoDigit);

constexpr bool is_digit(char c) {
    return digit_value(c) != kNoDigit;
}

// The bytes at p as a little-endian word of their number: p[0] in the lowest byte.
template <typename Word>
HEXRACE_PARSE_INLINE Word load_le(const char* p) noexcept {
    Word w;
    std::memcpy(&w, p, sizeof w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    if constexpr (sizeof(Word) == 8) {
        w = __builtin_bswap64(w);
    } else {
        w = __builtin_bswap32(w);
    }
#endif
    return w;
}

HEXRACE_PARSE_INLINE std::uint64_t load_le64(const char* p) noexcept {
    return load_le<std::uint64_t>(p);
}

HEXRACE_PARSE_INLINE std::uint32_t load_le32(const char* p) noexcept {
    return load_le<std::uint32_t>(p);
}

// The `size` (4 to 7) bytes at p, zeros above them, from two overlapping four-byte loads, without
// touching p[size] or beyond.
HEXRACE_PARSE_INLINE std::uint64_t load_4_to_7(const char* p, std::size_t size) noexcept {
    return std::uint64_t{load_le32(p)} | std::uint64_t{load_le32(p + size - 4)} << 8 * (size - 4);
}

// Bytes 8 to `size` - 1 (size 9 to 15) at p, zeros above them, from the last eight moved down:
// without touching p[size] or beyond.
HEXRACE_PARSE_INLINE std::uint64_t load_tail(const char* p, std::size_t size) noexcept {
    return load_le64(p + size - 8) >> 8 * (16 - size);
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
    if (stops == 0) {
        return 8;
    }
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(stops) / 8;
#else
    int count = 0;
    for (; (stops & 0x80) == 0; stops >>= 8) {
        ++count;
    }
    return count;
#endif
}

// Byte 0 of x in the highest byte, byte 7 in the lowest.
constexpr std::uint64_t swap_bytes(std::uint64_t x) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_bswap64(x);
#else
    x = (x & 0x00FF00FF00FF00FF) << 8 | (x >> 8 & 0x00FF00FF00FF00FF);
    x = (x & 0x0000FFFF0000FFFF) << 16 | (x >> 16 & 0x0000FFFF0000FFFF);
    return x << 32 | x >> 32;
#endif
}

// Eight nibbles, byte 0 the most significant digit, as one 32-bit number: with byte 0 highest,
// pairs of digits into bytes, pairs of those into 16 bits, then into 32.
constexpr std::uint32_t pack8(std::uint64_t nibbles) {
    std::uint64_t v = swap_bytes(nibbles);
    v = (v | v >> 4) & 0x00FF00FF00FF00FF;
    v = (v | v >> 8) & 0x0000FFFF0000FFFF;
    return static_cast<std::uint32_t>(v | v >> 16);
}

// What a kernel finds at the start of a text: how many leading digits, and sixteen places of
// nibbles with the first byte's highest, those after the digits of no meaning. The value of the
// digits waits only on the bytes, not on their count, where the caller knows the count already.
struct Places {
    std::uint64_t places;
    int count;
};

// The value of the digits found.
constexpr std::uint64_t value_of(const Places& found) {
    return found.count == 0 ? 0 : found.places >> (64 - 4 * found.count);
}

// The leading digits of the eight text bytes in w: 0 to 8 of them.
constexpr Places places8(std::uint64_t w) {
    return {std::uint64_t{pack8(nibbles(w))} << 32, count_before(stop_bytes(w))};
}

// The same for the sixteen text bytes in w0 (bytes 0 to 7) and w1 (8 to 15), without a branch:
// the second word counts only when the first is digits throughout.
constexpr Places places16(std::uint64_t w0, std::uint64_t w1) {
    const std::uint64_t stops0 = stop_bytes(w0);
    const int count = count_before(stops0) + (stops0 == 0 ? count_before(stop_bytes(w1)) : 0);
    return {std::uint64_t{pack8(nibbles(w0))} << 32 | pack8(nibbles(w1)), count};
}

namespace portable {

// Shorter texts go through the digit table a byte at a time, which the word does not beat here.
inline constexpr std::size_t kShortest = 8;

// The leading digits of the `size` (8 or more) bytes at first, of at most kRead (8 or 16) of them.
template <int kRead>
HEXRACE_PARSE_INLINE Places leading_places(const char* first, std::size_t size) noexcept {
    if (kRead == 8 || size == 8) {
        return places8(load_le64(first));
    }
    return places16(load_le64(first), size >= 16 ? load_le64(first + 8) : load_tail(first, size));
}

}  // namespace portable

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
static_assert(value_of(places8(text_word("C0000000"))) == 0xC0000000);
static_assert(value_of(places8(text_word("1aB-3333"))) == 0x1AB);
static_assert(value_of(places16(text_word("fedcba98"), text_word("76543210"))) ==
              0xFEDCBA9876543210);
static_assert(places16(text_word("00000000"), text_word("1g000000")).count == 9);

}  // namespace HEXRACE_PARSE_ABI
}  // namespace hexrace::parse_detail
