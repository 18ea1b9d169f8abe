// libFuzzer target for one converter, chosen at build time by HEXRACE_FUZZ_CONVERTER ("atodw",
// "vumo_short", "pardu_long" or "wefra_short"). The input, cut at its first zero byte, is the text.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "hex_converters.h"

namespace {

using hexrace::HexConverter;

// What a converter makes of a text of hexadecimal digits longer than eight.
enum class Keeps { kLastEight, kFirstEight, kWrappedSum };

struct Target {
    std::string_view name;
    HexConverter* convert;
    Keeps keeps;
    std::size_t storage;  // bytes the contract asks for at least, beyond the text and terminator
};

constexpr Target kTargets[] = {
    {"atodw", hexrace::atodw, Keeps::kWrappedSum, 0},
    {"vumo_short", hexrace::vumo_short, Keeps::kLastEight, 0},
    {"pardu_long", hexrace::pardu_long, Keeps::kFirstEight, 8},
    {"wefra_short", hexrace::wefra_short, Keeps::kLastEight, 0},
};

consteval Target target_named(std::string_view name) {
    for (const Target& target : kTargets) {
        if (target.name == name) {
            return target;
        }
    }
    throw "no such converter";
}

constexpr Target kTarget = target_named(HEXRACE_FUZZ_CONVERTER);

std::uint32_t from_chars_value(std::string_view digits) {
    std::uint32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return value;
}

bool all_hex_digits(std::string_view text) {
    return text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// The value the contract gives a text of digits of any length.
std::uint32_t expected_value(std::string_view digits) {
    const std::size_t n = digits.size();
    switch (kTarget.keeps) {
        case Keeps::kLastEight:
            return from_chars_value(digits.substr(n > 8 ? n - 8 : 0));
        case Keeps::kFirstEight:
            return from_chars_value(digits.substr(0, 8));
        case Keeps::kWrappedSum: {
            std::uint32_t sum = 0;
            for (std::size_t i = 0; i < n; ++i) {
                sum += from_chars_value(digits.substr(i, 1)) << ((4 * (n - 1 - i)) % 32);
            }
            return sum;
        }
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    const std::size_t length = std::find(bytes, bytes + size, '\0') - bytes;
    // Exactly the storage the contract asks: the text and its terminator, or more where the
    // converter reads more. Bytes past the terminator come from the input, so they vary too.
    const std::size_t storage = length + 1 > kTarget.storage ? length + 1 : kTarget.storage;
    const std::unique_ptr<char[]> text(new char[storage]);
    std::memset(text.get(), 0, storage);
    std::memcpy(text.get(), bytes, size < storage ? size : storage);
    text[length] = '\0';

    const std::uint32_t value = kTarget.convert(text.get());
    const std::string_view view(text.get(), length);
    // For one to eight digits every expectation above is std::from_chars' own value.
    if (all_hex_digits(view) && value != expected_value(view)) {
        std::abort();
    }
    return 0;
}
