// The parser against std::from_chars, its oracle: parse_hex for every integer type (the 128-bit
// ones too: this file is built in GNU mode, where the standard library takes them), with each
// prefix mode, and the list parser on every path this build and CPU have.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "guarded_page.h"
#include "hexrace/bytes.h"
#include "hexrace/parse.h"
#include "list_reference.h"
#include "parse_kernels.h"
#include "paths.h"

namespace hexrace::testing {
namespace {

// A value as a message shows it: in hexadecimal, as no stream takes a 128-bit one.
template <typename T>
std::string shown(T value) {
    char text[48] = "-0x";
    const bool negative = value < 0;
    auto magnitude = static_cast<std::make_unsigned_t<T>>(value);
    if (negative) {
        magnitude = static_cast<std::make_unsigned_t<T>>(0 - magnitude);
    }
    const char* const end = std::to_chars(text + 3, text + sizeof text, magnitude, 16).ptr;
    const char* const start = negative ? text : text + 1;
    return std::string(start, static_cast<std::size_t>(end - start));
}

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
            << static_cast<int>(expected.ec) << "), value " << shown(got) << " (not " << shown(want)
            << ")";
    }
}

template <typename T>
class EveryType : public ::testing::Test {};

using IntegerTypes = ::testing::Types<char, signed char, unsigned char, short, unsigned short, int,
                                      unsigned, long, unsigned long, long long, unsigned long long
#if HEXRACE_PARSE_HAS_INT128
                                      ,
                                      parse_detail::int128, parse_detail::uint128
#endif
                                      >;

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
    char text[40];
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
        hex_text(static_cast<std::make_unsigned_t<T>>(Limits::max()) + 1),
        std::string(std::is_signed_v<T> ? "-" : "-1")
            .append(std::is_signed_v<T>
                        ? hex_text(static_cast<std::make_unsigned_t<T>>(Limits::max()) + 2)
                        : ""),
        "0",
        "-0",
        "--1",
        "ffffffffffffffff",
        "10000000000000000",
        "ffffffffffffffffffffffffffffffff",
        "100000000000000000000000000000000",
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
            for (std::size_t count = 1 + below(36); count > 0; --count) {
                digits += kDigits[below(sizeof kDigits - 1)];
            }
        }
        // A sign goes to the front, before the zeros.
        const std::size_t minus = digits.find('-');
        std::string text = minus == std::string::npos ? "" : "-";
        if (minus != std::string::npos) {
            digits.erase(minus, 1);
        }
        text.append(digits, 0, 60);
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

// Each prefix mode against std::from_chars of the digits after a prefix stripped by hand, and
// Prefix::optional against strtoull's end too. Texts: the prefix's forms and its near misses,
// then digits, leading zeros and what may follow them.
TYPED_TEST(EveryType, TakesThePrefixAsAsked) {
    using T = TypeParam;
    static constexpr const char* kHeads[] = {"",  "0x", "0X", "-0x", "-0X", "0x-", "00x",
                                             "x", "0",  "-",  "0b",  "0xx", "-0",  "--0x"};
    static constexpr const char* kTails[] = {"",
                                             "1f",
                                             "0",
                                             "0000000000000000000000000000000001",
                                             "ffffffffffffffffffffffffffffffff",
                                             "g",
                                             "7fff",
                                             "-1",
                                             "80",
                                             "ff",
                                             "fffffffff",
                                             "100000000000000000"};
    static constexpr char kAfter[] = "\n x";
    for (const char* head : kHeads) {
        for (const char* tail : kTails) {
            for (std::size_t after = 0; after < sizeof kAfter; ++after) {
                std::string text = std::string(head) + tail;
                if (after != 0) {
                    text += kAfter[after - 1];
                }
                const char* const first = text.data();
                const char* const last = first + text.size();
                const bool negative = std::is_signed_v<T> && text.starts_with('-');
                const char* const start = first + negative;
                const bool prefixed = last - start >= 3 && start[0] == '0' &&
                                      (start[1] | 0x20) == 'x' && std::isxdigit(start[2]) != 0;
                for (const Prefix prefix : {Prefix::none, Prefix::optional, Prefix::required}) {
                    T want = 0x5A;
                    std::from_chars_result expected{first, std::errc::invalid_argument};
                    if (prefixed && prefix != Prefix::none) {
                        // The sign, then the digits after the prefix, in a text of their own.
                        std::string stripped = text;
                        stripped.erase(negative, 2);
                        const auto r = std::from_chars(stripped.data(),
                                                       stripped.data() + stripped.size(), want, 16);
                        expected = {r.ec == std::errc::invalid_argument
                                        ? first
                                        : first + (r.ptr - stripped.data()) + 2,
                                    r.ec};
                    } else if (prefix == Prefix::optional && last - start >= 2 && start[0] == '0' &&
                               (start[1] | 0x20) == 'x') {
                        want = 0;
                        expected = {start + 1, std::errc{}};
                    } else if (prefix != Prefix::required) {
                        expected = std::from_chars(first, last, want, 16);
                    }
                    T got = 0x5A;
                    const auto result = parse_hex(first, last, got, prefix);
                    ASSERT_TRUE(result.ptr == expected.ptr && result.ec == expected.ec &&
                                got == want)
                        << "\"" << text << "\", prefix " << static_cast<int>(prefix)
                        << ": stops at " << result.ptr - first << " (not " << expected.ptr - first
                        << "), value " << shown(got) << " (not " << shown(want) << ")";
                    if constexpr (std::is_same_v<T, unsigned long long>) {
                        // strtoull, in a text that ends where ours does.
                        char* end = nullptr;
                        errno = 0;
                        const unsigned long long value = std::strtoull(text.c_str(), &end, 16);
                        // Where no digit follows "0x", C runtimes differ (glibc ends after the
                        // "0", as the C standard reads it; Microsoft's at the text's start).
                        if (prefix == Prefix::optional && result.ec == std::errc{} &&
                            !text.starts_with('-') && errno == 0 &&
                            (prefixed || text.size() < 2 || text[0] != '0' ||
                             (text[1] | 0x20) != 'x')) {
                            EXPECT_EQ(end - text.c_str(), result.ptr - first) << text;
                            EXPECT_EQ(value, got) << text;
                        }
                    }
                }
            }
        }
    }
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
        (void)parse_hex(std::string_view("0000FEDCBA9876543210x"), value);
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
                         char delimiter, Out* out, std::size_t capacity,
                         Prefix prefix = Prefix::none) {
    using Width = std::conditional_t<
        sizeof(Out) == 8, std::uint64_t,
        std::conditional_t<sizeof(Out) == 4, std::uint32_t,
                           std::conditional_t<sizeof(Out) == 2, std::uint16_t, std::uint8_t>>>;
    return path.functions->get<Width>(format)(
        first, last, delimiter, parse_detail::Sink<Width>{reinterpret_cast<unsigned char*>(out)},
        capacity, prefix);
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

// What the rows above leave out: other delimiters and a file's final line end, prefixes, and the
// narrow outputs, each width judging what fits; every row for 8, 16, 32 and 64 bits, with the
// values that fit each.
TEST_P(EveryPath, ListsTakeDelimitersPrefixesAndEveryWidth) {
    constexpr std::errc kDone{};
    constexpr std::errc kInvalid = std::errc::invalid_argument;
    constexpr std::errc kRange = std::errc::result_out_of_range;
    constexpr std::errc kFull = std::errc::no_buffer_space;
    const Prefix kNone = Prefix::none, kOptional = Prefix::optional, kRequired = Prefix::required;
    const struct {
        Format format;
        const char* text;
        char delimiter;
        Prefix prefix;
        std::size_t capacity;
        int narrowest;  // the narrowest output, in bits, that every value fits
        std::size_t count;
        std::errc ec;
        std::size_t stop;
    } cases[] = {
        // A delimited line, and the line end of a file's last line.
        {kList, "1f,2\n", ',', kNone, 4, 8, 2, kDone, 5},
        {kList, "1f,2\r\n", ',', kNone, 4, 8, 2, kDone, 6},
        {kList, "1f,2,\n", ',', kNone, 4, 8, 2, kInvalid, 5},
        {kList, "\n", ',', kNone, 4, 8, 0, kInvalid, 0},
        {kList, "1f,2\n\n", ',', kNone, 4, 8, 1, kInvalid, 4},
        {kList, "1f,2\n3", ',', kNone, 4, 8, 1, kInvalid, 4},
        {kList, "1f\r\n", '\r', kNone, 4, 8, 1, kDone, 4},
        {kList, "1f\n", '\n', kNone, 4, 8, 1, kDone, 3},
        {kList, "1f\0002", '\0', kNone, 4, 8, 2, kDone, 4},
        {kList,
         "1f\xFF"
         "2",
         '\xFF', kNone, 4, 8, 2, kDone, 4},
        {kList, "", 'a', kNone, 4, 8, 0, kInvalid, 0},
        {kList, "1,g", ',', kNone, 1, 8, 1, kFull, 2},
        // Prefixes, on request, token by token.
        {kList, "0x1f,0X2,3", ',', kOptional, 4, 8, 3, kDone, 10},
        {kList, "0x1f,0X2,3", ',', kRequired, 4, 8, 2, kInvalid, 9},
        {kList, "0x1f,0X2,3", ',', kNone, 4, 8, 0, kInvalid, 1},
        {kLines, "0x1f\r\n0x\n", '\n', kOptional, 4, 8, 1, kInvalid, 7},
        {kLines, "0x1f\r\n0x\n", '\n', kRequired, 4, 8, 1, kInvalid, 6},
        {kWords, " 0xff 0x100\t0x0000000000000000000000001", ' ', kRequired, 4, 16, 3, kDone, 39},
        {kWords, "0xffffffff 0x100000000", ' ', kOptional, 4, 64, 2, kDone, 22},
        // The width decides: ff fits a byte, 100 does not.
        {kWords, "ff 100 10000 100000000", ' ', kNone, 4, 64, 4, kDone, 22},
        {kLines, "0000000000000000000000ff\n", '\n', kNone, 1, 8, 1, kDone, 25},
    };
    for (const auto& c : cases) {
        const std::string text(
            c.text, std::char_traits<char>::length(c.text) + (c.delimiter == '\0' ? 2 : 0));
        const char* const first = text.data();
        const char* const last = first + text.size();
        const auto check = [&](auto width) {
            using Out = decltype(width);
            const int bits = static_cast<int>(8 * sizeof(Out));
            std::vector<Out> want(c.capacity + 1, 0x5A), got(c.capacity + 1, 0x5A);
            const HexListResult expected = reference_list(c.format, first, last, c.delimiter,
                                                          want.data(), c.capacity, c.prefix);
            const HexListResult result = parse_list(GetParam(), c.format, first, last, c.delimiter,
                                                    got.data(), c.capacity, c.prefix);
            const auto trace = ::testing::Message() << bits << " bits, \"" << c.text << '"';
            EXPECT_TRUE(result.ptr == expected.ptr && result.ec == expected.ec &&
                        result.count == expected.count && got == want)
                << trace;
            if (bits >= c.narrowest) {  // the row's own figures, where every value fits
                EXPECT_EQ(result.ec, c.ec) << trace;
                EXPECT_EQ(result.count, c.count) << trace;
                EXPECT_EQ(result.ptr - first, static_cast<std::ptrdiff_t>(c.stop)) << trace;
            } else {
                EXPECT_EQ(result.ec, kRange) << trace;
            }
        };
        check(std::uint8_t{});
        check(std::uint16_t{});
        check(std::uint32_t{});
        check(std::uint64_t{});
    }
}

// The public entries take an array of any unsigned type of 1, 2, 4 or 8 bytes, whatever its name.
TEST(ParseHexList, TakesEveryUnsignedOutputType) {
    const std::string_view text = "ff\n7f\n";
    const char* const last = text.data() + text.size();
    std::vector<unsigned long long> ull(2);
    std::vector<unsigned long> ul(2);
    std::vector<unsigned char> bytes(2);
    std::vector<std::uint16_t> shorts(2);
    std::vector<unsigned> words(2);
    EXPECT_EQ(parse_hex_lines(text.data(), last, ull.data(), ull.size()).count, 2u);
    EXPECT_EQ(parse_hex_lines(text.data(), last, ul.data(), ul.size()).count, 2u);
    EXPECT_EQ(parse_hex_words(text.data(), last, bytes.data(), bytes.size()).count, 2u);
    EXPECT_EQ(parse_hex_list(text.data(), last, '\n', shorts.data(), shorts.size()).count, 2u);
    EXPECT_EQ(
        parse_hex_list(text.data(), last, '\n', words.data(), words.size(), Prefix::required).ec,
        std::errc::invalid_argument);
    EXPECT_EQ(ull[0] + ul[0] + bytes[0] + shorts[0], 4u * 0xFF);
    EXPECT_EQ(ull[1] + ul[1] + bytes[1] + shorts[1], 4u * 0x7F);
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

// Hex text to bytes: the contract's cases, then random texts with one fault each against the
// contract spelt out a pair at a time, then round trips through encode_hex.
TEST_P(EveryPath, DecodeFollowsItsContract) {
    constexpr std::errc kDone{};
    constexpr std::errc kInvalid = std::errc::invalid_argument;
    constexpr std::errc kFull = std::errc::no_buffer_space;
    const struct {
        bool spaced;
        const char* text;
        std::size_t capacity;
        std::vector<std::uint8_t> bytes;
        std::errc ec;
        std::size_t stop;
    } cases[] = {
        // Pairs, either case; a bad byte, a lone digit, and room, which is judged first.
        {false, "", 4, {}, kDone, 0},
        {false, "DEADbeef09", 8, {0xDE, 0xAD, 0xBE, 0xEF, 0x09}, kDone, 10},
        {false, "a", 4, {}, kInvalid, 0},
        {false, "abc", 4, {0xAB}, kInvalid, 2},
        {false, "abc\n", 4, {0xAB}, kInvalid, 3},
        {false, "ag", 4, {}, kInvalid, 1},
        {false, "g0", 4, {}, kInvalid, 0},
        {false, "ab cd", 4, {0xAB}, kInvalid, 2},
        {false, "abcd", 0, {}, kFull, 0},
        {false, "abcd", 2, {0xAB, 0xCD}, kDone, 4},
        {false, "abc", 1, {0xAB}, kFull, 2},
        {false, "abg", 1, {0xAB}, kFull, 2},
        // White space of every kind before, between and after pairs, never inside one.
        {true, " \t\n\v\f\rde\r\nad \n", 4, {0xDE, 0xAD}, kDone, 14},
        {true, "   ", 4, {}, kDone, 3},
        {true, "a b", 4, {}, kInvalid, 1},
        {true, "de a", 4, {0xDE}, kInvalid, 3},
        {true, "de a ", 4, {0xDE}, kInvalid, 4},
        {true, "de\x01", 4, {0xDE}, kInvalid, 2},
        {true, "de ad", 1, {0xDE}, kFull, 3},
        {true, "de \n", 1, {0xDE}, kDone, 4},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        std::vector<std::uint8_t> out(c.capacity + 1, 0x5A);
        const auto decode = c.spaced ? GetParam().bytes->decode_spaced : GetParam().bytes->decode;
        const HexListResult result =
            decode(text.data(), text.data() + text.size(), out.data(), c.capacity);
        const auto trace = ::testing::Message() << '"' << c.text << '"';
        EXPECT_EQ(result.ec, c.ec) << trace;
        EXPECT_EQ(result.ptr - text.data(), static_cast<std::ptrdiff_t>(c.stop)) << trace;
        EXPECT_EQ(std::vector(out.begin(), out.begin() + result.count), c.bytes) << trace;
        EXPECT_EQ(out[c.bytes.size()], 0x5A) << "written past the bytes: " << trace;
    }
    // A bad byte at every place of two blocks and across their ends, and the lone last digit.
    std::string digits(130, 'f');
    for (std::size_t at = 0; at <= digits.size(); ++at) {
        std::string text = digits;
        if (at < text.size()) {
            text[at] = 'g';
        } else {
            text.pop_back();  // 129 digits
        }
        std::uint8_t out[80];
        const HexListResult result =
            GetParam().bytes->decode(text.data(), text.data() + text.size(), out, sizeof out);
        const std::size_t stop = at < digits.size() ? at : 128;
        ASSERT_EQ(result.ec, kInvalid) << at;
        ASSERT_EQ(static_cast<std::size_t>(result.ptr - text.data()), stop) << at;
        ASSERT_EQ(result.count, stop / 2) << at;
    }
}

// A random text of `bytes` pairs of random case; spaced, "xxd -p" and "od" layouts and runs of
// every white-space byte between pairs.
std::string random_hex(std::mt19937& rng, std::size_t bytes, bool spaced) {
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    static constexpr const char* kSpaces[] = {" ", "\n", "\r\n", "\t", " \v\f "};
    std::string text;
    const std::size_t line = 1 + rng() % 40;
    for (std::size_t i = 0; i < bytes; ++i) {
        text += kDigits[rng() % 22];
        text += kDigits[rng() % 22];
        if (spaced && (i + 1) % line == 0) {
            text += kSpaces[rng() % 5];
        }
    }
    return text;
}

TEST_P(EveryPath, DecodeAgreesWithTheContractOnRandomFaults) {
    const GuardedPage page;
    std::mt19937 rng(25);
    static constexpr char kFaults[] = "g/:@`G \x80\xFF\x00";
    for (int i = 0; i < 20'000; ++i) {
        const bool spaced = i % 2 == 1;
        std::string text = random_hex(rng, rng() % (i % 16 == 0 ? 3000 : 300), spaced);
        switch (rng() % 4) {
            case 0:  // a bad byte, anywhere
                if (!text.empty()) {
                    text[rng() % text.size()] = kFaults[rng() % (sizeof kFaults)];
                }
                break;
            case 1:  // a lone digit at the end
                text += 'a';
                break;
            default:  // none, but maybe too little room
                break;
        }
        const std::size_t capacity = rng() % 4 == 0 ? rng() % (text.size() / 2 + 1) : text.size();
        // Against either edge of the page where the text fits it; the longest ones, which cross
        // the spaced road's segments, on the heap.
        const bool fits = text.size() <= page.size();
        const char* const first = !fits            ? text.data()
                                  : rng() % 2 == 0 ? page.place_at_start(text.data(), text.size())
                                                   : page.place_at_end(text.data(), text.size());
        const char* const last = first + text.size();
        std::vector<std::uint8_t> want(capacity + 1, 0x5A), got(capacity + 1, 0x5A);
        const HexListResult expected = reference_decode(spaced, first, last, want.data(), capacity);
        const auto decode = spaced ? GetParam().bytes->decode_spaced : GetParam().bytes->decode;
        const HexListResult result = decode(first, last, got.data(), capacity);
        if (!spaced) {  // the public entry too, through the path its first call chose
            std::vector<std::uint8_t> inline_got(capacity + 1, 0x5A);
            const HexListResult public_result =
                decode_hex(first, last, inline_got.data(), capacity);
            ASSERT_TRUE(public_result.ptr == expected.ptr && public_result.ec == expected.ec &&
                        public_result.count == expected.count && inline_got == want)
                << "decode_hex: " << text;
        }
        ASSERT_TRUE(result.ptr == expected.ptr && result.ec == expected.ec &&
                    result.count == expected.count && got == want)
            << (spaced ? "spaced: " : "") << text << "\nstops at " << result.ptr - first << " (not "
            << expected.ptr - first << ") after " << result.count << " (not " << expected.count
            << ") bytes, error " << static_cast<int>(result.ec);
    }
}

TEST_P(EveryPath, EncodeThenDecodeGivesTheBytesBack) {
    std::mt19937 rng(26);
    for (std::size_t size = 0; size < 600; size += 1 + size / 16) {
        std::vector<std::uint8_t> bytes(size);
        for (std::uint8_t& byte : bytes) {
            byte = static_cast<std::uint8_t>(rng());
        }
        for (const HexCase letters : {HexCase::lower, HexCase::upper}) {
            std::string want;
            for (const std::uint8_t byte : bytes) {
                char pair[3];
                std::snprintf(pair, sizeof pair, letters == HexCase::upper ? "%02X" : "%02x", byte);
                want += pair;
            }
            std::string text(2 * size + 1, '#');
            const char* const end =
                GetParam().bytes->encode(bytes.data(), bytes.data() + size, text.data(), letters);
            ASSERT_EQ(end, text.data() + 2 * size);
            ASSERT_EQ(text, want + '#') << size;
            std::vector<std::uint8_t> back(size);
            const HexListResult decoded =
                GetParam().bytes->decode(text.data(), end, back.data(), back.size());
            ASSERT_TRUE(decoded.ec == std::errc{} && decoded.count == size && back == bytes);
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
