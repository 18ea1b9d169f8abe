// libFuzzer target for format_decimal: the first four input bytes are the value; its text must be
// std::to_chars' text of the signed reading, in 12 bytes, with nothing written past the terminator.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "console.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint32_t value = 0;
    std::memcpy(&value, data, size < sizeof value ? size : sizeof value);

    constexpr char kUntouched = 0x5A;
    const std::unique_ptr<char[]> out(new char[hexrace::kDecimalBytes]);
    std::memset(out.get(), kUntouched, hexrace::kDecimalBytes);
    hexrace::format_decimal(value, out.get());

    char expected[hexrace::kDecimalBytes] = {};
    std::to_chars(expected, expected + sizeof expected, static_cast<std::int32_t>(value));
    const std::size_t used = std::strlen(expected) + 1;
    if (std::memcmp(out.get(), expected, used) != 0) {
        std::abort();
    }
    for (std::size_t i = used; i < hexrace::kDecimalBytes; ++i) {
        if (out[i] != kUntouched) {
            std::abort();
        }
    }
    return 0;
}
