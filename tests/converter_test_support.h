// Helpers shared by the converter tests: a converter's name, and calls on safely padded copies.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "hex_converters.h"

namespace hexrace::testing {

struct NamedConverter {
    const char* name;
    HexConverter* convert;
};

inline void PrintTo(const NamedConverter& c, std::ostream* os) {
    *os << c.name;
}

// Names parameterised tests after the converter they run.
inline std::string converter_name(const ::testing::TestParamInfo<NamedConverter>& info) {
    return info.param.name;
}

// The race's contestants, in report order.
inline const std::vector<NamedConverter> kRaceConverters = [] {
    std::vector<NamedConverter> converters;
    for (const RaceRow& row : kRace) {
        converters.push_back({row.name, row.converter});
    }
    return converters;
}();

// Calls `convert` on a copy of `text` padded with zeros to the eight bytes the widest reader may
// touch, so each test exercises the converter rather than the caller's buffer.
inline std::uint32_t convert_padded(HexConverter* convert, std::string_view text) {
    std::vector<char> buffer(text.size() + 8, '\0');
    text.copy(buffer.data(), text.size());
    return convert(buffer.data());
}

// The ordinary value of one to eight hexadecimal digits, by the standard library.
inline std::uint32_t reference_value(std::string_view text) {
    std::uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return value;
}

// A valid text of 1 to 8 digits, random in length, value and case.
inline std::string random_hex_text(std::mt19937& rng) {
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    std::uniform_int_distribution<int> length(1, 8);
    std::uniform_int_distribution<int> digit(0, 21);
    std::string text(static_cast<std::size_t>(length(rng)), '0');
    for (char& c : text) {
        c = kDigits[digit(rng)];
    }
    return text;
}

}  // namespace hexrace::testing
