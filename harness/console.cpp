#include "console.h"

#include <cstdint>
#include <utility>

#include "byte_order.h"
#include "platform.h"

namespace hexrace {
namespace {

// Bit 7 of every zero byte of `group` set, and possibly of bytes above the first zero byte, but
// never of a byte below it; zero exactly when `group` has no zero byte.
std::uint32_t zero_byte_mask(std::uint32_t group) {
    return (group - 0x01010101u) & ~group & 0x80808080u;
}

// Index of the first zero byte of a group, from its non-zero zero_byte_mask.
std::uint32_t first_zero_byte(std::uint32_t mask) {
    std::uint32_t index = 0;
    if ((mask & 0x8080u) == 0) {
        mask >>= 16;
        index = 2;
    }
    return (mask & 0x80u) != 0 ? index : index + 1;
}

}  // namespace

std::uint32_t string_length(const char* text) {
    for (const char* pass = text;; pass += 16) {
        // Four groups a pass; the group holding the terminator is the last one read.
        for (int offset = 0; offset < 16; offset += 4) {
            const std::uint32_t mask = zero_byte_mask(load_le32(pass + offset));
            if (mask != 0) {
                return static_cast<std::uint32_t>(pass + offset - text) + first_zero_byte(mask);
            }
        }
    }
}

std::uint32_t print_string(const char* text) {
    return platform::write_stdout(text, string_length(text));
}

void format_decimal(std::uint32_t value, char* out) {
    if (value == 0) {
        out[0] = '0';
        out[1] = '\0';
        return;
    }
    if ((value & 0x80000000u) != 0) {
        *out++ = '-';
        value = 0u - value;  // 0x80000000 stays itself and reads as 2147483648 below
    }
    char* const first_digit = out;
    while (value != 0) {
        // value / 10 without a division: 0xCCCCCCCD is 2^35 / 10 rounded up, exact for 32 bits.
        const auto quotient =
            static_cast<std::uint32_t>((std::uint64_t{value} * 0xCCCCCCCDu) >> 35);
        *out++ = static_cast<char>('0' + (value - 10 * quotient));
        value = quotient;
    }
    *out = '\0';
    // The digits came out least significant first.
    for (char *low = first_digit, *high = out - 1; low < high; ++low, --high) {
        std::swap(*low, *high);
    }
}

int wait_for_key() {
    platform::discard_pending_input();
    do {
        platform::poll_sleep_ms(1);
    } while (!platform::key_waiting());
    return platform::read_key();
}

}  // namespace hexrace
