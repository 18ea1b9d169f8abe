// The race's contestants: four ways to turn hexadecimal text into a 32-bit value.
//
// Every converter takes a NUL-terminated text of hexadecimal digits, most significant first, with
// no prefix, sign or spaces ("0"-"9", "A"-"F", "a"-"f"), and returns its value modulo 2^32. For
// one to eight digits all four agree with the ordinary value; each contract below says what a
// converter does with longer texts, with other bytes and with the empty text. None validates,
// none keeps state, none has side effects.
#pragma once

#include <cstdint>

// Keeps a routine out of line, so that a caller's loop really makes every call it is asked to.
#if defined(__clang__)
#define HEXRACE_NOINLINE __attribute__((noinline))
#elif defined(__GNUC__)
// noipa also stops GCC from proving the routine pure and dropping calls whose result is unused.
#define HEXRACE_NOINLINE __attribute__((noipa))
#elif defined(_MSC_VER)
#define HEXRACE_NOINLINE __declspec(noinline)
#else
#define HEXRACE_NOINLINE
#endif

namespace hexrace {

using HexConverter = std::uint32_t(const char* text);

// Two passes: counts the text, then adds each digit shifted by 4 x (characters after it), the
// shift taken modulo 32. Longer than eight digits: the leading digits wrap onto the low places and
// are added ("123456789" -> 0x2345678A). Any other byte c maps to (c - '0') & 0xF below 'A', else
// (c - 'a' + 10) & 0xF ("g" -> 0, "zz" -> 0x33). Empty text -> 0. Reads nothing past the
// terminator.
HEXRACE_NOINLINE std::uint32_t atodw(const char* text);

// One pass: value = value x 16 + (c & 0xF) + 9 x (c >> 6). Longer than eight digits: the value of
// the last eight. Other bytes are mapped by the same formula ("g" -> 0x10, "zz" -> 0x143). Empty
// text -> 0. Reads nothing past the terminator.
HEXRACE_NOINLINE std::uint32_t vumo_short(const char* text);

// Unrolled, one table read per character, the text read as two four-byte groups. Longer than eight
// digits: the value of the first eight; nothing after the eighth character is read. A byte that is
// no digit adds 0 but keeps its place ("1:" -> 0x10, "zz" -> 0). Empty text -> 0.
// Reads bytes 0 to 3 always, and bytes 4 to 7 once the text has two or more characters, even when
// it ends before them: give it eight bytes of initialised storage.
HEXRACE_NOINLINE std::uint32_t pardu_long(const char* text);

// One pass: folds c to f = c | 0x20, then adds f - 'a' + 10 when f >= 0x60, else f - '0', chosen
// without a branch and not masked. Longer than eight digits: the value of the last eight. Other
// bytes add their unmasked, possibly wrapped, formula value ("g" -> 0x10, "zz" -> 0x253,
// " " -> 0xFFFFFFF0). Empty text -> 0. Reads nothing past the terminator.
HEXRACE_NOINLINE std::uint32_t wefra_short(const char* text);

// The race's contestants in report order: each converter's name, the label the report prints after
// its time, and the converter. The harness times these rows; the suite, the tests and the build
// (which reads the rows of this table as text) take the race's contestants from here alone.
struct RaceRow {
    const char* name;
    const char* label;
    HexConverter* converter;
};

inline constexpr RaceRow kRace[] = {
    {"atodw", " atodw library\r\n", atodw},
    {"vumo_short", " Vumo short\r\n", vumo_short},
    {"pardu_long", " Pardu long\r\n", pardu_long},
    {"wefra_short", " wefra short\r\n", wefra_short},
};

}  // namespace hexrace
