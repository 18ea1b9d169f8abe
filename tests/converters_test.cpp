#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "converter_test_support.h"
#include "guarded_page.h"
#include "hex_converters.h"
#include "reference_converters.h"

namespace hexrace::testing {
namespace {

struct Case {
    const char* text;
    std::uint32_t expected;
};

void expect_cases(HexConverter* convert, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(convert_padded(convert, c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(Atodw, ConvertsDigitsOfEitherCase) {
    expect_cases(atodw, {
                            {"C0000000", 0xC0000000},
                            {"ff", 0xFF},
                            {"FF", 0xFF},
                            {"1a2B3c4D", 0x1A2B3C4D},
                            {"abc", 0xABC},
                            {"FFFFFFFF", 0xFFFFFFFF},
                            {"0", 0},
                        });
}

TEST(Atodw, EmptyTextIsZero) {
    expect_cases(atodw, {{"", 0}});
}

TEST(Atodw, LongerThanEightDigitsWrapsTheShiftAndAdds) {
    expect_cases(atodw, {
                            {"100000000", 1},
                            {"123456789", 0x2345678A},
                            {"F00000000", 0xF},
                            {"10000000000000001", 2},  // the first digit's shift, 64, is taken as 0
                        });
}

TEST(Atodw, NonDigitsAreMappedNotRejected) {
    expect_cases(atodw, {
                            {"g", 0},
                            {"G", 0},
                            {"zz", 0x33},
                            {":", 0xA},     // below "A": (0x3A - 0x30) & 0xF
                            {" ", 0x0},     // (0x20 - 0x30) & 0xF
                            {"\xFF", 0x8},  // (0xFF - 0x57) & 0xF
                        });
}

TEST(VumoShort, ConvertsDigitsOfEitherCase) {
    expect_cases(vumo_short, {
                                 {"C0000000", 0xC0000000},
                                 {"ff", 0xFF},
                                 {"FF", 0xFF},
                                 {"1a2B3c4D", 0x1A2B3C4D},
                                 {"FFFFFFFF", 0xFFFFFFFF},
                             });
}

TEST(VumoShort, EmptyTextIsZero) {
    expect_cases(vumo_short, {{"", 0}});
}

TEST(VumoShort, LongerThanEightDigitsKeepsTheLastEight) {
    expect_cases(vumo_short, {
                                 {"123456789", 0x23456789},
                                 {"100000000", 0},
                                 {"fedcba9876543210", 0x76543210},
                             });
}

TEST(VumoShort, NonDigitsAreMappedNotRejected) {
    expect_cases(vumo_short, {
                                 {"g", 0x10},  // 7 + 9
                                 {"G", 0x10},
                                 {"zz", 0x143},
                                 {" ", 0x0},
                                 {"\x80", 18},      // top bits 10: 0 + 2 x 9
                                 {"\xC5", 5 + 27},  // top bits 11: 5 + 3 x 9
                             });
}

TEST(ParduLong, ConvertsDigitsOfEitherCase) {
    expect_cases(pardu_long, {
                                 {"C0000000", 0xC0000000},
                                 {"FFFFFFFF", 0xFFFFFFFF},
                                 {"1a2B3c4D", 0x1A2B3C4D},
                                 {"ff", 0xFF},
                             });
}

TEST(ParduLong, EveryShortLengthShiftsTheDigitsDown) {
    expect_cases(pardu_long, {
                                 {"", 0},
                                 {"0", 0},
                                 {"1", 1},
                                 {"A", 0xA},
                                 {"12", 0x12},
                                 {"abc", 0xABC},
                                 {"1234", 0x1234},
                                 {"12345", 0x12345},
                                 {"123456", 0x123456},
                                 {"1234567", 0x1234567},
                                 {"12345678", 0x12345678},
                             });
}

TEST(ParduLong, LongerThanEightDigitsKeepsTheFirstEight) {
    expect_cases(pardu_long, {
                                 {"123456789", 0x12345678},
                                 {"100000000", 0x10000000},
                                 {"fedcba9876543210", 0xFEDCBA98},
                             });
}

TEST(ParduLong, NonDigitsAddNothingButKeepTheirPlace) {
    expect_cases(pardu_long, {
                                 {"1:", 0x10},
                                 {"G1", 0x01},
                                 {"`f@", 0x0F0},
                                 {"zz", 0},         // above 0x66
                                 {"0x1F", 0x001F},  // 'x' is above 0x66
                                 {" 12", 0x012},    // ' ' is below 0x30
                             });
}

// A byte of any value at any position of a text of any length up to eight adds its digit value
// there, or nothing when it is no digit; the standard library says which digit it is.
TEST(ParduLong, EveryByteValueAtEveryPositionIsSafe) {
    for (std::size_t length = 1; length <= 8; ++length) {
        for (std::size_t position = 0; position < length; ++position) {
            for (int byte = 1; byte <= 0xFF; ++byte) {
                std::string text(length, '0');
                text[position] = static_cast<char>(byte);
                const std::uint32_t digit =
                    std::isxdigit(byte) != 0 ? reference_value(text.substr(position, 1)) : 0;
                ASSERT_EQ(convert_padded(pardu_long, text), digit << (4 * (length - 1 - position)))
                    << "byte " << byte << " at " << position << " of " << length;
            }
        }
    }
}

TEST(WefraShort, ConvertsDigitsOfEitherCase) {
    expect_cases(wefra_short, {
                                  {"C0000000", 0xC0000000},
                                  {"ff", 0xFF},
                                  {"FF", 0xFF},
                                  {"1a2B3c4D", 0x1A2B3C4D},
                                  {"FFFFFFFF", 0xFFFFFFFF},
                              });
}

TEST(WefraShort, EmptyTextIsZero) {
    expect_cases(wefra_short, {{"", 0}});
}

TEST(WefraShort, LongerThanEightDigitsKeepsTheLastEight) {
    expect_cases(wefra_short, {
                                  {"123456789", 0x23456789},
                                  {"100000000", 0},
                                  {"fedcba9876543210", 0x76543210},
                              });
}

TEST(WefraShort, NonDigitsAddTheirUnmaskedFormulaValue) {
    expect_cases(wefra_short, {
                                  {"g", 0x10},
                                  {"G", 0x10},
                                  {"zz", 0x253},
                                  {" ", 0xFFFFFFF0},   // 0x20 - 0x30, wrapped
                                  {"1 ", 0x00000000},  // 0x10 + (0x20 - 0x30)
                                  {"\xFF", 0xA8},      // 0xFF - 0x57
                                  {"`", 0x9},          // 0x60 is the first "letter": 0x60 - 0x57
                                  {"@", 0x9},          // folds onto 0x60 too
                              });
}

TEST(TableLoopHex, FollowsItsContract) {
    expect_cases(table_loop_hex, {
                                     {"", 0},
                                     {"C0000000", 0xC0000000},
                                     {"123456789", 0x23456789},  // the last eight
                                     {"1g", 0x10},               // no digit: 0, in its place
                                     {"\xC6", 0},
                                 });
}

TEST(SwarHex, FollowsItsContract) {
    expect_cases(swar_hex, {
                               {"", 0},
                               {"C0000000", 0xC0000000},
                               {"123456789", 0x12345678},  // the first eight
                               {"fedcba9876543210", 0xFEDCBA98},
                           });
}

// Converters that read eight bytes whatever the text's length, given exactly eight before an
// unreadable page.
class EightByteReader : public ::testing::TestWithParam<NamedConverter> {};

TEST_P(EightByteReader, ReadsNothingBeyondEightBytesOfStorage) {
    const GuardedPage page;
    const char* const texts[] = {"", "1", "12", "123", "1234", "12345", "123456", "1234567"};
    for (const char* text : texts) {
        char stored[8] = {};
        std::memcpy(stored, text, std::strlen(text));
        EXPECT_EQ(GetParam().convert(page.place_at_end(stored, 8)), reference_value(text)) << text;
    }
    // Eight digits and no terminator: the ninth byte is never read.
    EXPECT_EQ(GetParam().convert(page.place_at_end("89abcdef", 8)), 0x89ABCDEFu);
}

INSTANTIATE_TEST_SUITE_P(Contestants, EightByteReader,
                         ::testing::Values(NamedConverter{"pardu_long", pardu_long},
                                           NamedConverter{"swar_hex", swar_hex}),
                         converter_name);

class EveryConverter : public ::testing::TestWithParam<NamedConverter> {};

TEST_P(EveryConverter, AgreesWithFromCharsOnRandomValidTexts) {
    std::mt19937 rng(20261209);
    for (int i = 0; i < 200'000; ++i) {
        const std::string text = random_hex_text(rng);
        ASSERT_EQ(convert_padded(GetParam().convert, text), reference_value(text)) << text;
    }
}

TEST_P(EveryConverter, AgreesWithFromCharsOnEveryTextOfUpToFourDigitsInEveryCase) {
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    std::string text;
    // Odometer over 1 to 4 positions of 22 symbols each: all 22 + 22^2 + 22^3 + 22^4 texts.
    for (std::size_t length = 1; length <= 4; ++length) {
        std::vector<int> index(length, 0);
        for (;;) {
            text.clear();
            for (int i : index) {
                text += kDigits[i];
            }
            ASSERT_EQ(convert_padded(GetParam().convert, text), reference_value(text)) << text;
            std::size_t k = 0;
            while (k < length && ++index[k] == 22) {
                index[k++] = 0;
            }
            if (k == length) {
                break;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Race, EveryConverter, ::testing::ValuesIn(kRaceConverters),
                         converter_name);
INSTANTIATE_TEST_SUITE_P(Reference, EveryConverter,
                         ::testing::Values(NamedConverter{"table_loop_hex", table_loop_hex},
                                           NamedConverter{"swar_hex", swar_hex}),
                         converter_name);

}  // namespace
}  // namespace hexrace::testing
