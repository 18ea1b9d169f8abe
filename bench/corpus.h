// The suite's inputs: the race's text, each length on its own, and a mixed corpus.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "contestants.h"

namespace hexrace::bench {

// Aligned so that an eight-byte read never straddles a cache line: an unaligned slot would make
// the word-reading contestants' figures depend on where the heap put it.
struct alignas(16) Text {
    std::array<char, kSlotBytes> bytes{};  // the text, then zeros
    std::size_t length = 0;

    explicit Text(std::string_view text);
    const char* data() const { return bytes.data(); }
};

struct Corpus {
    std::string name;
    std::vector<Text> texts;  // a power of two in number, so cycling through them is a mask
};

// "C0000000", the race's input.
Corpus fixed_corpus();

// One text of `length` digits (1 to 8), mixed case.
Corpus length_corpus(std::size_t length);

// 4,096 valid texts of random length 1 to 8 and random case, the same on every run.
Corpus mixed_corpus();

// The fixed input, each length 1 to 8, and the mixed corpus, in that order.
std::vector<Corpus> all_corpora();

// The value of a valid text, by std::from_chars.
std::uint32_t reference_value(const Text& text);

// Checks every contestant on every text against reference_value; on the first mismatch writes a
// message naming the contestant and the input to standard error and returns false.
bool verify(const std::vector<Corpus>& corpora);

}  // namespace hexrace::bench
