#include <cstdint>

#include "byte_order.h"
#include "digit_tables.h"
#include "hex_converters.h"

namespace hexrace {

// Written out for all eight positions: a byte from the current word, a test for the terminator,
// a table read and an addition. A text that ends early has its digits in the high places, so each
// early exit shifts them down by 4 x (characters missing).
std::uint32_t pardu_long(const char* text) {
    const DigitTables& t = digit_tables;
    const std::uint32_t low = load_le32(text);
    const unsigned c0 = low & 0xFF;
    if (c0 == 0) {
        return 0;
    }
    std::uint32_t a = t[0][c0];
    const unsigned c1 = (low >> 8) & 0xFF;
    if (c1 == 0) {
        return a >> 28;
    }
    const std::uint32_t high = load_le32(text + 4);
    a += t[1][c1];
    const unsigned c2 = (low >> 16) & 0xFF;
    if (c2 == 0) {
        return a >> 24;
    }
    a += t[2][c2];
    const unsigned c3 = low >> 24;
    if (c3 == 0) {
        return a >> 20;
    }
    a += t[3][c3];
    const unsigned c4 = high & 0xFF;
    if (c4 == 0) {
        return a >> 16;
    }
    a += t[4][c4];
    const unsigned c5 = (high >> 8) & 0xFF;
    if (c5 == 0) {
        return a >> 12;
    }
    a += t[5][c5];
    const unsigned c6 = (high >> 16) & 0xFF;
    if (c6 == 0) {
        return a >> 8;
    }
    a += t[6][c6];
    const unsigned c7 = high >> 24;
    if (c7 == 0) {
        return a >> 4;
    }
    return a + t[7][c7];
}

}  // namespace hexrace
