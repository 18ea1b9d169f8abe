#include <cstdint>

#include "hex_converters.h"

namespace hexrace {

std::uint32_t wefra_short(const char* text) {
    std::uint32_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        // Setting bit 5 folds "A"-"F" onto "a"-"f"; the digits "0"-"9" have it already.
        const std::uint32_t folded = static_cast<unsigned char>(*p) | 0x20u;
        const std::uint32_t from_a = folded - 0x60;
        // Both formulas are formed and one is selected, so the loop's only branch stays the
        // terminator test: 0x60 + 9 is 'a' - 10 and 0x60 - 0x27 is '0' + 9.
        const std::uint32_t digit = folded >= 0x60 ? from_a + 9 : from_a + 0x27 + 9;
        value = (value << 4) + digit;
    }
    return value;
}

}  // namespace hexrace
