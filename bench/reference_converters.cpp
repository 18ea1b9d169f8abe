#include "reference_converters.h"

#include <array>
#include <bit>
#include <cstdint>

#include "byte_order.h"

namespace hexrace {
namespace {

constexpr std::array<std::uint8_t, 256> make_digit_values() {
    std::array<std::uint8_t, 256> values{};
    for (unsigned c = 0; c < values.size(); ++c) {
        if (c >= '0' && c <= '9') {
            values[c] = static_cast<std::uint8_t>(c - '0');
        } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            values[c] = static_cast<std::uint8_t>((c | 0x20) - 'a' + 10);
        }
    }
    return values;
}

constexpr std::array<std::uint8_t, 256> digit_values = make_digit_values();
static_assert(digit_values['0'] == 0 && digit_values['9'] == 9 && digit_values['A'] == 10 &&
              digit_values['f'] == 15 && digit_values['G'] == 0 && digit_values[0xC6] == 0);

constexpr std::uint64_t kEachByte = 0x0101010101010101;

}  // namespace

std::uint32_t table_loop_hex(const char* text) {
    std::uint32_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        value = value << 4 | digit_values[static_cast<unsigned char>(*p)];
    }
    return value;
}

std::uint32_t swar_hex(const char* text) {
    const std::uint64_t word = load_be64(text);
    // Bit 7 of each zero byte; a borrow can also flag bytes after the first zero, never before it,
    // so the highest flag marks the end of the text. No flag: eight or more characters.
    const std::uint64_t zeros = (word - kEachByte) & ~word & (kEachByte * 0x80);
    const int length = std::countl_zero(zeros) / 8;
    // Each byte to its digit value: the low nibble, plus 9 for letters (bit 6 set).
    std::uint64_t digits = (word & (kEachByte * 0x0F)) + ((word >> 6) & kEachByte) * 9;
    // Pack the nibbles: pairs of bytes into bytes, pairs of those into 16 bits, then into 32.
    digits = (digits | digits >> 4) & 0x00FF00FF00FF00FF;
    digits = (digits | digits >> 8) & 0x0000FFFF0000FFFF;
    digits = (digits | digits >> 16) & 0xFFFFFFFF;
    // The places after the text held its terminator and what follows it: shift them out. An empty
    // text shifts by 32, all of the 32 bits.
    return static_cast<std::uint32_t>(digits >> (4 * (8 - length)));
}

}  // namespace hexrace
