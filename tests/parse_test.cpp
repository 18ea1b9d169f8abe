// The parser against std::from_chars, its oracle: parse_hex for every integer type, and the list
// parser on every path this build and CPU have.
#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "guarded_page.h"
#include "hexrace/parse.h"
#include "list_reference.h"
#include "parse_kernels.h"
#include "paths.h"

namespace hexrace::testing {
namespace {

// parse_hex on [first, last), with each kernel, gives what std::from_chars gives, the value
// untouched on an error included.
template <typename T>
void expect_from_chars(const char* first, const char* last) {
    const T untouched = static_cast<T>(0x5A);
    T want = untouched;
    const auto expected = std::from_chars(first, last, want, 16);
    for (const bool portable : {false, true}) {
        T got = untouched;
        const auto result =
            portable ? parse_hex_portable(first, last, got) : parse_hex(first, last, got);
        ASSERT_TRUE(result.ptr == expected.ptr && result.ec == expected.ec && got == want)
            << (portable ? "portable kernel, \"" : "\"") << std::string_view(first, last - first)
            << "\": stops at " << result.ptr - first << " (not " << expected.ptr - first
            << "), error " << static_cast<int>(result.ec) << " (not "
            << static_cast<int>(expected.ec) << "), value " << +got << " (not " << +want << ")";
    }
}

template <typename T>
class EveryType : public ::testing::Test {};

using IntegerTypes = ::testing::Types<char, signed char, unsigned char, short, unsigned short, int,
                                      unsigned, long, unsigned long, long long, unsigned long long>;

struct TypeName {
    template <typename T>
    static std::string GetName(int) {
        const std::string name = std::is_same_v<T, char> ? "char" : std::is_signed_v<T> ? "s" : "u";
        return name + std::to_string(8 * sizeof(T)) + (std::is_same_v<T, long> ? "_long" : "") +
               (std::is_same_v<T, unsigned long> ? "_long" : "");
    }
};
TYPED_TEST_SUITE(EveryType, IntegerTypes, TypeName);

// The digits' edges, both cases, the signs and the bytes that border the digits; a text sits
// between digits, so that a read outside [first, last) changes the result.
TYPED_TEST(EveryType, AgreesWithFromCharsOnEveryTextOfUpToFourBytes) {
    static constexpr char kAlphabet[] = "0123456789abcdefABCDEF/:@G`g-+\x00\x80\xFF";
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
            expect_from_chars<TypeParam>(first, first + length);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

// The digits of `value` (its magnitude, after a "-" where it is negative).
template <typename T>
std::string hex_text(T value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
    return std::string(text, end);
}

// Up to 40 bytes: the range ends of the type and one past them, runs of leading zeros, signs,
// random digits, and what may follow them.
TYPED_TEST(EveryType, AgreesWithFromCharsAboutItsRangeEnds) {
    using T = TypeParam;
    using Limits = std::numeric_limits<T>;
    const std::string ends[] = {
        hex_text(Limits::max()),
        hex_text(Limits::min()),
        std::string("1").append(hex_text(Limits::max())),
        hex_text(static_cast<unsigned long long>(Limits::max()) + 1),
        std::string(std::is_signed_v<T> ? "-" : "-1")
            .append(std::is_signed_v<T>
                        ? hex_text(static_cast<unsigned long long>(Limits::max()) + 2)
                        : ""),
        "0",
        "-0",
        "--1",
        "ffffffffffffffff",
        "10000000000000000",
    };
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    static constexpr char kAfter[] = "\n ,xg\x80-";
    std::mt19937 rng(20261209);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int i = 0; i < 50'000; ++i) {
        std::string digits(below(24), '0');
        if (below(2) == 0) {
            digits += ends[below(std::size(ends))];
        } else {
            for (std::size_t count = 1 + below(20); count > 0; --count) {
                digits += kDigits[below(sizeof kDigits - 1)];
            }
        }
        // A sign goes to the front, before the zeros.
        const std::size_t minus = digits.find('-');
        std::string text = minus == std::string::npos ? "" : "-";
        if (minus != std::string::npos) {
            digits.erase(minus, 1);
        }
        text.append(digits, 0, 38);
        if (below(2) == 0) {
            text += kAfter[below(sizeof kAfter - 1)];
            text += kDigits[below(sizeof kDigits - 1)];
        }
        expect_from_chars<T>(text.data(), text.data() + text.size());
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

// A text whose end is at every distance from an unreadable page: a read past `last` into the
// page crashes, one into the digits before the page changes the result.
TYPED_TEST(EveryType, ReadsNothingPastTheEndOfItsText) {
    const GuardedPage page;
    for (std::size_t gap = 0; gap <= 16; ++gap) {
        for (std::size_t length = 0; length <= 40; ++length) {
            char* const last = page.end() - gap;
            char* const first = last - length;
            std::memset(first - 16, '9', length + gap + 16);
            for (std::size_t i = 0; i < length; ++i) {
                first[i] = "-0fA1"[i % 5];
            }
            expect_from_chars<TypeParam>(first, last);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

TYPED_TEST(EveryType, TakesAStringViewAndPointsIntoIt) {
    const std::string_view text = "7f;";
    TypeParam value = 0;
    const auto result = parse_hex(text, value);
    EXPECT_EQ(result.ptr, text.data() + 2);
    EXPECT_EQ(value, 0x7F);
}

// Files built with different kernels keep their own definitions: were the names the same, the
// linker would keep one of them for both.
TEST(Kernels, EachFileKeepsItsOwn) {
    if (!HEXRACE_PARSE_SSE2) {
        GTEST_SKIP() << "this build has the portable kernel alone";
    }
    ParseU32* const own = &parse_hex<unsigned>;
    EXPECT_NE(portable_parse_hex_u32(), own);
}

// The road a compiler takes in a constant expression gives what the run-time road gives.
template <typename T>
constexpr std::from_chars_result constant(std::string_view text, T& value) {
    return parse_hex(text, value);
}

TEST(ConstantExpressions, ParseAsAtRunTime) {
    constexpr auto parsed = [](std::string_view text) {
        signed char value = 1;
        const auto [ptr, ec] = constant(text, value);
        return std::pair{static_cast<int>(ec == std::errc{} ? value : -1000 - static_cast<int>(ec)),
                         ptr - text.data()};
    };
    static_assert(parsed("7f") == std::pair{0x7F, std::ptrdiff_t{2}});
    static_assert(parsed("-80") == std::pair{-0x80, std::ptrdiff_t{3}});
    static_assert(parsed("-0000081").second == 8 && parsed("-0000081").first != -0x81);
    static_assert(parsed("-g").second == 0 && parsed("+1").second == 0);
    constexpr auto wide = [] {
        std::uint64_t value = 0;
        parse_hex(std::string_view("0000FEDCBA9876543210x"), value);
        return value;
    }();
    static_assert(wide == 0xFEDCBA9876543210);
}

}  // namespace
}  // namespace hexrace::testing

namespace hexrace::parse_detail {
void PrintTo(const ListPath& path, std::ostream* os) {
    *os << path.name;
}
}  // namespace hexrace::parse_detail

namespace hexrace::testing {
namespace {

using parse_detail::ListPath;

// The list paths this CPU can take.
std::vector<ListPath> paths_here() {
    std::vector<ListPath> here;
    for (const ListPath& path : parse_detail::list_paths()) {
        if (path.runs_here()) {
            here.push_back(path);
        }
    }
    return here;
}

class EveryPath : public ::testing::TestWithParam<ListPath> {};

// A list function of a path, for a format and an output width, called as the public one is.
template <typename Out>
HexListResult parse_list(const ListPath& path, Format format, const char* first, const char* last,
                         char delimiter, Out* out, std::size_t capacity) {
    return path.functions->get<Out>(format)(first, last, delimiter, out, capacity);
}

constexpr Format kList = Format::kDelimited;
constexpr Format kLines = Format::kLines;
constexpr Format kWords = Format::kWords;

TEST_P(EveryPath, ListsFollowTheirContract) {
    constexpr std::errc kDone{};
    constexpr std::errc kInvalid = std::errc::invalid_argument;
    constexpr std::errc kFull = std::errc::no_buffer_space;
    constexpr std::errc kRange = std::errc::result_out_of_range;
    const struct {
        Format format;
        const char* text;
        std::size_t capacity;
        std::vector<std::uint64_t> values;
        std::errc ec;
        std::size_t stop;  // ptr - first
        int bits = 0;      // the one output width the row is for; 0 for both
    } cases[] = {
        // Tokens and their delimiters ("\n" here).
        {kList, "", 4, {}, kDone, 0},
        {kList, "1f\n2\n", 4, {0x1F, 2}, kDone, 5},
        {kList, "1f\n2", 4, {0x1F, 2}, kDone, 4},
        {kList, "00000000000000000000ffffffffffffffff\n0", 4, {~0ull, 0}, kDone, 38, 64},
        {kList,
         "0123456789abcdef\n0123456789ABCDEF\n",
         4,
         {0x0123456789ABCDEF, 0x0123456789ABCDEF},
         kDone,
         34,
         64},
        // Where a list stops, the values before kept.
        {kList, "1\n\n2", 4, {1}, kInvalid, 2},
        {kList, "\n", 4, {}, kInvalid, 0},
        {kList, "1\n-2", 4, {1}, kInvalid, 2},
        {kList, "12 \n", 4, {}, kInvalid, 2},
        {kList, "1f\r\n2", 4, {}, kInvalid, 2},
        {kList, "a\n10000000000000000\n", 4, {0xA}, kRange, 2},
        {kList, "1\n2\n3", 2, {1, 2}, kFull, 4},
        {kList, "1\n2\n", 2, {1, 2}, kDone, 4},
        // Lines: LF or CRLF, empty lines only at the very end.
        {kLines, "1f\r\n2\r\n", 4, {0x1F, 2}, kDone, 7},
        {kLines, "1f\n2\r\n3", 4, {0x1F, 2, 3}, kDone, 7},
        {kLines, "1f\n2\n\n\r\n\n", 4, {0x1F, 2}, kDone, 9},
        {kLines, "\n\r\n", 4, {}, kDone, 3},
        {kLines, "1f\n\n2", 4, {0x1F}, kInvalid, 3},
        {kLines, "1f\r\n\r\n2\r\n", 4, {0x1F}, kInvalid, 4},
        {kLines, "\r\n1", 4, {}, kInvalid, 0},
        {kLines, "1\r2\n", 4, {}, kInvalid, 1},
        {kLines, "1\r", 4, {}, kInvalid, 1},
        {kLines, "1\n\r", 4, {1}, kInvalid, 2},
        {kLines, "12 \n", 4, {}, kInvalid, 2},
        {kLines, "1\n2\n\n", 2, {1, 2}, kDone, 5},
        {kLines, "1\n2\n3", 2, {1, 2}, kFull, 4},
        // The same in lists long enough for a vector path's 64-byte blocks: a "\r" after a "\n",
        // and one that ends a block, followed by no "\n".
        {kLines,
         "1\n\r2\n0000000000000000\n0000000000000000\n0000000000000000\n0000000000000000\n"
         "0000000000000000\n",
         4,
         {1},
         kInvalid,
         2},
        {kLines,
         "0000000000000000\n0000000000000000\n0000000000000000\n000000000000\r\r\n"
         "0000000000000000\n0000000000000000\n0000000000000000\n0000000000000000\n"
         "0000000000000000\n",
         4,
         {0, 0, 0},
         kInvalid,
         63},
        // Words: runs of every white-space byte, before, between and after.
        {kWords, " \t\n\v\f\r1f \t\n\v\f\r2 \t\n\v\f\r", 4, {0x1F, 2}, kDone, 21},
        {kWords, "de ad\tbe\n\nef", 4, {0xDE, 0xAD, 0xBE, 0xEF}, kDone, 12},
        {kWords, "   ", 4, {}, kDone, 3},
        {kWords, "1f, 2", 4, {}, kInvalid, 2},
        {kWords, "1 -2", 4, {1}, kInvalid, 2},
        {kWords, "1 2x", 4, {1}, kInvalid, 3},
        {kWords, "1 2 3", 2, {1, 2}, kFull, 4},
        {kWords, "1 2  ", 2, {1, 2}, kDone, 5},
        // A hexdump long enough for a 64-byte block of words, whose 21 fill the output exactly.
        {kWords,
         "00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e "
         "0f 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d ",
         21,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
         kFull,
         63},
        // The output's width decides what fits.
        {kLines, "ffffffff\n100000000\n", 4, {0xFFFFFFFF, 0x100000000}, kDone, 19, 64},
        {kLines, "ffffffff\n100000000\n", 4, {0xFFFFFFFF}, kRange, 9, 32},
        {kWords, "000000000ffffffff 1", 4, {0xFFFFFFFF, 1}, kDone, 19},
    };
    for (const auto& c : cases) {
        for (const int bits : {32, 64}) {
            if (c.bits != 0 && c.bits != bits) {
                continue;
            }
            const std::string text = c.text;
            std::vector<std::uint64_t> got;
            HexListResult result{};
            if (bits == 32) {
                std::vector<std::uint32_t> out(c.capacity + 1, 0xBAD);
                result = parse_list(GetParam(), c.format, text.data(), text.data() + text.size(),
                                    '\n', out.data(), c.capacity);
                got.assign(out.begin(), out.end());
            } else {
                got.assign(c.capacity + 1, 0xBAD);
                result = parse_list(GetParam(), c.format, text.data(), text.data() + text.size(),
                                    '\n', got.data(), c.capacity);
            }
            const auto trace = ::testing::Message() << bits << " bits, \"" << c.text << '"';
            EXPECT_EQ(result.ec, c.ec) << trace;
            EXPECT_EQ(result.ptr - text.data(), static_cast<std::ptrdiff_t>(c.stop)) << trace;
            EXPECT_EQ(std::vector(got.begin(), got.begin() + result.count), c.values) << trace;
            EXPECT_EQ(got[c.values.size()], 0xBADu) << "written past the values: " << trace;
        }
    }
    std::uint64_t out = 0;
    const std::string_view digit_delimited = "1a2";
    const HexListResult digit = parse_list(GetParam(), kList, digit_delimited.data(),
                                           digit_delimited.data() + 3, 'a', &out, 1);
    EXPECT_EQ(digit.ec, std::errc::invalid_argument) << "a digit for a delimiter";
    EXPECT_EQ(digit.count, 0u);
}

// A random list of a format: mostly one to `most` digits and the format's separators, now and
// then more digits, none, a stray byte or an odd separator; about `length` bytes.
std::string random_list(Format format, std::mt19937& rng, std::size_t length, std::size_t most,
                        std::size_t& tokens) {
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    static constexpr const char* kSeparators[] = {"\n", "\n", "\n", "\r\n", " ", " ", "\t", "  \n"};
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    std::string text = format == kWords && below(4) == 0 ? " " : "";
    for (tokens = 0; text.size() < length; ++tokens) {
        const std::size_t odd = below(200);
        const std::size_t digits = odd == 0 ? 0 : odd < 3 ? 17 + below(8) : 1 + below(most);
        for (std::size_t d = 0; d < digits; ++d) {
            text += odd == 1 ? '0' : kDigits[below(sizeof kDigits - 1)];
        }
        if (odd == 3) {
            text += "x\rg\x0e\0"[below(5)];
        }
        text += format == kList    ? "\n"
                : format == kLines ? kSeparators[below(4)]
                                   : kSeparators[3 + below(5)];
    }
    if (below(3) == 0) {
        text.pop_back();  // the last token ends at the end
    } else if (format != kList && below(3) == 0) {
        text += "\n\r\n";  // blank lines, white space
    }
    return text;
}

// Long lists, which the vector paths take 64 bytes at a time, of every format and width, against
// the contracts spelt out with std::from_chars. Each list ends at an unreadable page, so that a
// read past its end crashes the test.
TEST_P(EveryPath, ListsAgreeWithFromCharsOnRandomLongLists) {
    const GuardedPage page;
    std::mt19937 rng(7);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int i = 0; i < 30'000; ++i) {
        // Every fourth list, words of one to three digits: as in a hexdump, which has a road of
        // its own for one or two.
        const Format format = std::array{kList, kLines, kWords, kWords}[i % 4];
        std::size_t tokens = 0;
        const std::string text =
            random_list(format, rng, 1 + below(400), i % 4 == 3 ? 3 : 16, tokens);
        const std::size_t capacity = below(8) == 0 ? below(tokens + 1) : tokens;
        const char* const first = page.place_at_end(text.data(), text.size());
        const char* const last = first + text.size();
        const auto check = [&](auto width) {
            using Out = decltype(width);
            std::vector<Out> want(tokens + 1, 0xBAD), got(tokens + 1, 0xBAD);
            const HexListResult expected =
                reference_list(format, first, last, '\n', want.data(), capacity);
            const HexListResult result =
                parse_list(GetParam(), format, first, last, '\n', got.data(), capacity);
            ASSERT_TRUE(result.ptr == expected.ptr && result.ec == expected.ec &&
                        result.count == expected.count && got == want)
                << 8 * sizeof(Out) << " bits, format " << static_cast<int>(format) << ": " << text
                << "\nstops at " << result.ptr - first << " (not " << expected.ptr - first
                << ") after " << result.count << " (not " << expected.count << ") values, error "
                << static_cast<int>(result.ec);
        };
        check(std::uint64_t{});
        check(std::uint32_t{});
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Parse, EveryPath, ::testing::ValuesIn(paths_here()),
                         [](const auto& info) { return std::string(info.param.name); });

// The public list functions reach a path, through the row their first call chose.
TEST(ParseHexList, EachEntryParsesThroughTheBestPath) {
    const std::string_view text = "7\r\nff\r\n";
    const char* const last = text.data() + text.size();
    std::uint64_t wide[2] = {};
    std::uint32_t narrow[2] = {};
    EXPECT_EQ(parse_hex_list(text.data(), last, '\r', wide, 2).ptr, text.data() + 2);
    EXPECT_EQ(parse_hex_list(text.data(), last, '\r', narrow, 2).ptr, text.data() + 2);
    EXPECT_EQ(parse_hex_lines(text.data(), last, wide, 2).count, 2u);
    EXPECT_EQ(parse_hex_lines(text.data(), last, narrow, 2).count, 2u);
    EXPECT_EQ(parse_hex_words(text.data(), last, wide, 2).count, 2u);
    EXPECT_EQ(parse_hex_words(text.data(), last, narrow, 2).count, 2u);
    EXPECT_EQ(wide[1], 0xFFu);
    EXPECT_EQ(narrow[1], 0xFFu);
}

}  // namespace
}  // namespace hexrace::testing
