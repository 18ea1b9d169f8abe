// The parser against std::from_chars, its oracle, on every path this build and CPU have.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "guarded_page.h"
#include "hexrace/parse.h"
#include "list_reference.h"
#include "paths.h"

namespace hexrace::testing {
namespace {

using parse_detail::Path;

// Both widths of one path on [first, last) give what std::from_chars gives, value untouched on
// an error included.
template <typename Unsigned>
void expect_from_chars(const Path& path, const char* first, const char* last) {
    const Unsigned untouched = static_cast<Unsigned>(0xA5A5A5A5A5A5A5A5);
    Unsigned want = untouched;
    Unsigned got = untouched;
    const auto expected = std::from_chars(first, last, want, 16);
    std::from_chars_result result{};
    if constexpr (sizeof(Unsigned) == 4) {
        result = path.parse32(first, last, got);
    } else {
        result = path.parse64(first, last, got);
    }
    ASSERT_TRUE(result.ptr == expected.ptr && result.ec == expected.ec && got == want)
        << sizeof(Unsigned) * 8 << " bits, \"" << std::string_view(first, last - first)
        << "\": stops at " << result.ptr - first << " (not " << expected.ptr - first << "), error "
        << static_cast<int>(result.ec) << " (not " << static_cast<int>(expected.ec) << "), value "
        << got << " (not " << want << ")";
}

void expect_both_widths(const Path& path, const char* first, const char* last) {
    expect_from_chars<std::uint32_t>(path, first, last);
    expect_from_chars<std::uint64_t>(path, first, last);
}

}  // namespace
}  // namespace hexrace::testing

namespace hexrace::parse_detail {
void PrintTo(const Path& path, std::ostream* os) {
    *os << path.name;
}
}  // namespace hexrace::parse_detail

namespace hexrace::testing {
namespace {

class EveryPath : public ::testing::TestWithParam<Path> {};

// Digits of both cases and the bytes that border them; a text sits between digits, so that a
// read outside [first, last) changes the result.
TEST_P(EveryPath, AgreesWithFromCharsOnEveryTextOfUpToFourBytes) {
    static constexpr char kAlphabet[] = "0123456789abcdefABCDEF/:@G`g\x00\x80\xFF";
    constexpr std::size_t kSymbols = sizeof kAlphabet - 1;
    char buffer[12];
    std::memset(buffer, '7', sizeof buffer);
    char* const first = buffer + 4;
    for (std::size_t length = 0; length <= 4; ++length) {
        std::size_t texts = 1;
        for (std::size_t i = 0; i < length; ++i) {
            texts *= kSymbols;
        }
        for (std::size_t n = 0; n < texts; ++n) {
            for (std::size_t i = 0, rest = n; i < length; ++i, rest /= kSymbols) {
                first[i] = kAlphabet[rest % kSymbols];
            }
            expect_both_widths(GetParam(), first, first + length);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

// Up to 40 bytes: runs of leading zeros, values about 2^32 and 2^64, and what may follow them.
TEST_P(EveryPath, AgreesWithFromCharsOnRandomTextsAboutTheLimits) {
    static constexpr const char* kValues[] = {
        "ffffffff",          "100000000", "FFFFFFFF1", "ffffffffffffffff", "10000000000000000",
        "fFfFfFfFfFfFfFfF0", "1",         "0",         "123456789abcdef",  "FEDCBA987654321",
    };
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    static constexpr char kAfter[] = "\n ,xg\x80";
    std::mt19937 rng(20261209);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int i = 0; i < 200'000; ++i) {
        std::string text(below(24), '0');
        if (below(2) == 0) {
            text += kValues[below(std::size(kValues))];
        } else {
            for (std::size_t digits = 1 + below(20); digits > 0; --digits) {
                text += kDigits[below(sizeof kDigits - 1)];
            }
        }
        text.resize(std::min<std::size_t>(text.size(), 40 - 2));
        if (below(2) == 0) {
            text += kAfter[below(sizeof kAfter - 1)];
            text += kDigits[below(sizeof kDigits - 1)];
        }
        expect_both_widths(GetParam(), text.data(), text.data() + text.size());
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

// A text whose end is at every distance from an unreadable page: a read past `last` into the
// page crashes, one into the digits before the page changes the result.
TEST_P(EveryPath, ReadsNothingPastTheEndOfItsText) {
    const GuardedPage page;
    for (std::size_t gap = 0; gap <= 16; ++gap) {
        for (std::size_t length = 0; length <= 40; ++length) {
            char* const last = page.end() - gap;
            char* const first = last - length;
            std::memset(first - 16, '9', length + gap + 16);
            for (std::size_t i = 0; i < length; ++i) {
                first[i] = "0fA1"[i % 4];
            }
            expect_both_widths(GetParam(), first, last);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

TEST_P(EveryPath, ListsFollowTheirContract) {
    const struct {
        const char* text;
        std::size_t capacity;
        std::vector<std::uint64_t> values;
        std::errc ec;
        std::size_t stop;  // ptr - first
    } cases[] = {
        // Tokens and their delimiters.
        {"", 4, {}, std::errc{}, 0},
        {"1f\n2\n", 4, {0x1F, 2}, std::errc{}, 5},
        {"1f\n2", 4, {0x1F, 2}, std::errc{}, 4},
        {"00000000000000000000ffffffffffffffff\n0", 4, {~0ull, 0}, std::errc{}, 38},
        {"0123456789abcdef\n0123456789ABCDEF\n",
         4,
         {0x0123456789ABCDEF, 0x0123456789ABCDEF},
         std::errc{},
         34},
        // Where it stops, the values before kept.
        {"1\n\n2", 4, {1}, std::errc::invalid_argument, 2},
        {"\n", 4, {}, std::errc::invalid_argument, 0},
        {"1\n-2", 4, {1}, std::errc::invalid_argument, 2},
        {"12 \n", 4, {}, std::errc::invalid_argument, 2},
        {"a\n10000000000000000\n", 4, {0xA}, std::errc::result_out_of_range, 2},
        {"1\n2\n3", 2, {1, 2}, std::errc::no_buffer_space, 4},
        {"1\n2\n", 2, {1, 2}, std::errc{}, 4},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        std::vector<std::uint64_t> out(c.capacity + 1, 0xBAD);
        const HexListResult result = GetParam().parse_list(text.data(), text.data() + text.size(),
                                                           '\n', out.data(), c.capacity);
        EXPECT_EQ(result.ec, c.ec) << '"' << c.text << '"';
        EXPECT_EQ(result.ptr - text.data(), static_cast<std::ptrdiff_t>(c.stop)) << c.text;
        EXPECT_EQ(std::vector(out.begin(), out.begin() + result.count), c.values) << c.text;
        EXPECT_EQ(out[c.values.size()], 0xBADu) << "written past the values: " << c.text;
    }
    std::uint64_t out = 0;
    const std::string_view digit_delimited = "1a2";
    const HexListResult digit =
        GetParam().parse_list(digit_delimited.data(), digit_delimited.data() + 3, 'a', &out, 1);
    EXPECT_EQ(digit.ec, std::errc::invalid_argument) << "a digit for a delimiter";
    EXPECT_EQ(digit.count, 0u);
}

// Long lists, which the vector paths take 64 bytes at a time, against the contract spelt out with
// std::from_chars.
// Each list ends at an unreadable page, so that a read past its end crashes the test.
TEST_P(EveryPath, ListsAgreeWithFromCharsOnRandomLongLists) {
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    const GuardedPage page;
    std::mt19937 rng(7);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int i = 0; i < 20'000; ++i) {
        std::string text;
        std::size_t tokens = 0;
        for (std::size_t length = 1 + below(400); text.size() < length; ++tokens) {
            // Mostly one to sixteen digits; now and then more, none, or a stray byte after them.
            const std::size_t odd = below(200);
            const std::size_t digits = odd == 0 ? 0 : odd < 3 ? 17 + below(8) : 1 + below(16);
            for (std::size_t d = 0; d < digits; ++d) {
                text += odd == 1 ? '0' : kDigits[below(sizeof kDigits - 1)];
            }
            text += odd == 3 ? 'x' : '\n';
        }
        if (below(2) == 0) {
            text.pop_back();  // the last token ends at the end
        }
        const std::size_t capacity = below(8) == 0 ? below(tokens + 1) : tokens;
        std::vector<std::uint64_t> want(tokens + 1, 0xBAD), got(tokens + 1, 0xBAD);
        const char* const first = page.place_at_end(text.data(), text.size());
        const char* const last = first + text.size();
        const HexListResult expected = reference_list(first, last, '\n', want.data(), capacity);
        const HexListResult result = GetParam().parse_list(first, last, '\n', got.data(), capacity);
        ASSERT_TRUE(result.ptr == expected.ptr && result.ec == expected.ec &&
                    result.count == expected.count && got == want)
            << text << "\nstops at " << result.ptr - first << " (not " << expected.ptr - first
            << ") after " << result.count << " (not " << expected.count << ") values, error "
            << static_cast<int>(result.ec);
    }
}

INSTANTIATE_TEST_SUITE_P(Parse, EveryPath, ::testing::ValuesIn(parse_detail::available_paths()),
                         [](const auto& info) { return std::string(info.param.name); });

// The public functions reach a path, through the pointers their first calls set.
TEST(ParseHex, PublicFunctionsParse) {
    const char text[] = "C0000000 tail";
    std::uint32_t value32 = 0;
    std::uint64_t value64 = 0;
    EXPECT_EQ(parse_hex(text, text + 13, value32).ptr, text + 8);
    EXPECT_EQ(parse_hex(text, text + 13, value64).ptr, text + 8);
    EXPECT_EQ(value32, 0xC0000000u);
    EXPECT_EQ(value64, 0xC0000000u);
    const std::string_view lines = "7\nff";
    std::uint64_t list[2] = {};
    EXPECT_EQ(parse_hex_list(lines.data(), lines.data() + lines.size(), '\n', list, 2).count, 2u);
    EXPECT_EQ(list[1], 0xFFu);
}

}  // namespace
}  // namespace hexrace::testing
