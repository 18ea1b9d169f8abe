// Console text services: measure, print and format texts, and wait for a key.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hexrace {

// string_length reads whole four-byte groups, so up to this many bytes past a terminator.
inline constexpr std::size_t kTextSlack = 3;

// The longest text format_decimal writes: a sign, ten digits and the terminator.
inline constexpr std::size_t kDecimalBytes = 12;

// True when `text` has a terminator with kTextSlack bytes of its own array behind it, so that
// string_length and print_string may be given it.
template <std::size_t N>
constexpr bool has_slack(const char (&text)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (text[i] == '\0') {
            return i + 1 + kTextSlack <= N;
        }
    }
    return false;
}

// A constant text stored with kTextSlack zero bytes behind its terminator.
template <std::size_t N>
struct PaddedText {
    char bytes[N + kTextSlack] = {};
    consteval PaddedText(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) {
            bytes[i] = text[i];
        }
    }
};

// Bytes before the first zero byte of `text`. Reads four bytes at a time, so up to kTextSlack
// bytes past the terminator: the text's storage must extend that far.
std::uint32_t string_length(const char* text);

// Writes `text` without its terminator to standard output; returns the count written, short only
// where an error stopped the write. Needs the same slack as string_length.
std::uint32_t print_string(const char* text);

// Writes the decimal text of `value`, read as signed two's complement, and a terminator into
// `out`, which holds at least kDecimalBytes. Writes nothing past the terminator.
void format_decimal(std::uint32_t value, char* out);

// Discards pending input, then waits for one key and returns its code; -1 when input has ended.
int wait_for_key();

}  // namespace hexrace
