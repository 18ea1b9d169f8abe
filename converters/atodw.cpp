#include <cstddef>
#include <cstdint>

#include "hex_converters.h"

namespace hexrace {

std::uint32_t atodw(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint32_t c = static_cast<unsigned char>(text[i]);
        // 0x57 is 'a' - 10; the mask folds "A"-"F" (0x41-0x46) onto 10-15 as well.
        const std::uint32_t digit = (c < 0x41 ? c - 0x30 : c - 0x57) & 0x0F;
        // Four bits for every character after this one, reduced to a 32-bit shift count.
        const unsigned shift = static_cast<unsigned>(4 * (length - 1 - i)) & 31;
        sum += digit << shift;
    }
    return sum;
}

}  // namespace hexrace
