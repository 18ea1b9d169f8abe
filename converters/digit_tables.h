// pardu_long's tables: every digit already shifted to the place of its character position.
#pragma once

#include <array>
#include <cstdint>

namespace hexrace {

// The value of hexadecimal digit `c`; 0 for any byte that is no digit.
constexpr std::uint32_t digit_value(unsigned c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return 0;
}

// digit_tables[k][c]: digit_value(c) shifted left by 28 - 4k, its place as the k-th of eight
// characters (k = 0 first). Every byte value has an entry, so no byte of a text can index outside
// the tables.
using DigitTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr DigitTables make_digit_tables() {
    DigitTables tables{};
    for (unsigned k = 0; k < tables.size(); ++k) {
        for (unsigned c = 0; c < tables[k].size(); ++c) {
            tables[k][c] = digit_value(c) << (28 - 4 * k);
        }
    }
    return tables;
}

inline constexpr DigitTables digit_tables = make_digit_tables();

static_assert(digit_tables[0]['C'] == 0xC0000000 && digit_tables[7]['C'] == 0xC);
static_assert(digit_tables[3]['9'] == 0x9000 << 4 && digit_tables[5]['a'] == 0xA00);
static_assert(digit_tables[1][':'] == 0 && digit_tables[1]['G'] == 0 && digit_tables[1]['`'] == 0);
static_assert(digit_tables[2][0x00] == 0 && digit_tables[2][0x2F] == 0 &&
              digit_tables[2][0x67] == 0 && digit_tables[2][0xFF] == 0);

}  // namespace hexrace
