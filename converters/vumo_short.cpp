#include <cstdint>

#include "hex_converters.h"

namespace hexrace {

std::uint32_t vumo_short(const char* text) {
    std::uint32_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const std::uint32_t c = static_cast<unsigned char>(*p);
        // Letters have 01 in their top two bits and 1-6 below; adding 9 makes them 10-15.
        const std::uint32_t letter = c >> 6;
        value = (value << 4) + (c & 0x0F) + letter + (letter << 3);
    }
    return value;
}

}  // namespace hexrace
