#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "console.h"
#include "fake_platform.h"
#include "guarded_page.h"

namespace hexrace::testing {
namespace {

TEST(StringLength, CountsBytesBeforeTheTerminator) {
    const struct {
        const char* text;
        std::uint32_t length;
    } cases[] = {
        {"", 0},
        {"a", 1},
        {"ab", 2},
        {"abc", 3},
        {"abcd", 4},
        {"abcde", 5},
        {"Press any key to continue ...", 29},
        {"\x80\xFF\x01\x7F\x81", 5},  // bytes that a careless zero-byte test takes for zero
    };
    for (const auto& c : cases) {
        char buffer[64] = {};
        std::memcpy(buffer, c.text, std::strlen(c.text));
        EXPECT_EQ(string_length(buffer), c.length) << '"' << c.text << '"';
    }
}

TEST(StringLength, FindsTheTerminatorInEveryByteOfAGroupAtEveryAlignment) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> nonzero(1, 255);
    alignas(16) char buffer[96];
    for (std::size_t align = 0; align < 16; ++align) {
        for (std::size_t length = 0; length < 64; ++length) {
            for (std::size_t i = 0; i < sizeof buffer; ++i) {
                buffer[i] = static_cast<char>(nonzero(rng));
            }
            buffer[align + length] = '\0';
            // A second zero a little later must not be taken for the first.
            buffer[align + length + 2] = '\0';
            ASSERT_EQ(string_length(buffer + align), length) << "align " << align;
        }
    }
}

TEST(StringLength, StaysInsideATextWhoseSlackEndsAtAnUnreadablePage) {
    const GuardedPage page;
    for (std::size_t length = 0; length < 12; ++length) {
        std::string stored(length, 'x');
        stored.append(1 + kTextSlack, '\0');
        const char* text = page.place_at_end(stored.data(), stored.size());
        EXPECT_EQ(string_length(text), length);
    }
}

std::string formatted(std::uint32_t value) {
    char out[16];
    std::memset(out, 0x5A, sizeof out);
    format_decimal(value, out);
    const std::size_t used = std::strlen(out) + 1;
    EXPECT_LE(used, kDecimalBytes);
    for (std::size_t i = used; i < sizeof out; ++i) {
        EXPECT_EQ(out[i], 0x5A) << "byte " << i << " written past the terminator of " << out;
    }
    return out;
}

TEST(FormatDecimal, WritesTheSignedReading) {
    const struct {
        std::uint32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {10, "10"},
        {0x7FFFFFFF, "2147483647"},
        {0x80000000, "-2147483648"},
        {0xFFFFFFFF, "-1"},
        {0xFFFFFF9C, "-100"},
        {9, "9"},
        {1'000'000'000, "1000000000"},
        {0x80000001, "-2147483647"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatted(c.value), c.text) << c.value;
    }
}

TEST(FormatDecimal, AgreesWithToCharsAcrossTheRange) {
    auto check = [](std::uint32_t value) {
        char expected[16];
        *std::to_chars(expected, expected + sizeof expected, static_cast<std::int32_t>(value)).ptr =
            '\0';
        ASSERT_EQ(formatted(value), expected);
    };
    for (std::uint32_t v = 0; v < 100'000; ++v) {
        check(v);
        check(0u - v);
    }
    // Every digit count's edges, on both signs.
    for (std::uint32_t p = 10; p <= 1'000'000'000; p *= 10) {
        for (std::uint32_t v : {p - 1, p, p + 1}) {
            check(v);
            check(0u - v);
        }
    }
    std::mt19937 rng(42);
    for (int i = 0; i < 200'000; ++i) {
        check(static_cast<std::uint32_t>(rng()));
    }
}

TEST(PrintString, WritesTheTextInOneWriteAndReturnsTheCount) {
    const struct {
        const char* text;
        std::uint32_t count;
    } cases[] = {{"", 0}, {"12", 2}, {" atodw library\r\n", 16}};
    for (const auto& c : cases) {
        char stored[32] = {};
        std::memcpy(stored, c.text, std::strlen(c.text));
        fake::start({});
        EXPECT_EQ(print_string(stored), c.count);
        EXPECT_EQ(fake::record().calls, std::vector<std::string>{"write " + std::string(c.text)});
    }
}

}  // namespace
}  // namespace hexrace::testing
