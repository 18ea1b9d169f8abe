// The suite's inputs: the race's text, each length on its own, mixed corpora of either width, a
// chain for latency, and a buffer of lines for bulk parsing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "contestants.h"

namespace hexrace::bench {

// Aligned so that a sixteen-byte read never straddles a cache line: an unaligned slot would make
// the word-reading contestants' figures depend on where the heap put it.
struct alignas(32) Text {
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

// One text of `length` digits (1 to 16), mixed case: "len<length>".
Corpus length_corpus(std::size_t length);

// 4,096 valid texts of random length 1 to `max_digits` and random case, the same on every run:
// "mixed" for 8 digits, "mixed16" for 16.
Corpus mixed_corpus(std::size_t max_digits);

// 4,096 eight-digit texts whose values' low twelve bits give the index of the text to convert
// next, all of them in one cycle: each conversion waits for the one before.
Corpus latency_corpus();

// The 32-bit contestants' inputs: the fixed text, each length 1 to 8, the mixed corpus.
std::vector<Corpus> corpora32();

// The 64-bit contestants' inputs: each length 1 to 16, the 16-digit mixed corpus.
std::vector<Corpus> corpora64();

// About 1 MiB of random lines of 1 to 16 digits, each ended by '\n', and their values.
struct Lines {
    std::string text;
    std::vector<std::uint64_t> values;
};
Lines bulk_lines();

// Checks every contestant on every input of its width, and every bulk parser on the lines,
// against std::from_chars; on the first mismatch writes a message naming the contestant and the
// input to standard error and returns false.
bool verify(const std::vector<Corpus>& corpora32, const Corpus& latency,
            const std::vector<Corpus>& corpora64, const Lines& lines);

}  // namespace hexrace::bench
