// The suite's inputs: the race's text, each length on its own, mixed corpora of either width, a
// chain for latency, the user's own texts, and buffers of many numbers for the list functions.
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

// 4,096 texts of "0x" or "0X" and 1 to 16 random digits: "prefixed".
Corpus prefixed_corpus();

// One text of 32 digits, mixed case: "len32".
Corpus wide_corpus();

// The 32-bit contestants' inputs: the fixed text, each length 1 to 8, the mixed corpus.
std::vector<Corpus> corpora32();

// The 64-bit contestants' inputs: each length 1 to 16, the 16-digit mixed corpus.
std::vector<Corpus> corpora64();

// The most of a user's file that the suite reads, and the most lines it times.
inline constexpr std::size_t kCorpusBytes = std::size_t{64} << 20;
inline constexpr std::size_t kCorpusLines = std::size_t{1} << 22;

// "corpus": the lines of a file of the user's, LF or CRLF, each one hexadecimal number that
// std::from_chars takes whole (into 64 bits), blank lines only at the end, repeated to a power of
// two. On a line that is not, a file larger than kCorpusBytes or with more than kCorpusLines
// lines, or one that cannot be read or has no line, returns false with `error` saying which and
// why, the bad line shown escaped (printable ASCII as it is, other bytes as \xNN) and cut short.
bool read_corpus(const std::string& path, Corpus& corpus, std::string& error);

// The most digits of any text of a corpus, and whether every value fits in 32 bits.
std::size_t longest(const Corpus& corpus);
bool fits32(const Corpus& corpus);

// A buffer of many numbers, and their values.
struct Numbers {
    std::string name;
    Buffer kind;
    std::string text;
    std::vector<std::uint64_t> values;
};

// The four buffers of Buffer, the same on every run; the first, "bulk", alone.
std::vector<Numbers> buffers();
Numbers bulk_buffer();

// Checks every contestant on every input it takes, each text and each buffer, against
// std::from_chars; on the first mismatch writes a message naming the contestant and the input to
// standard error and returns false. Tricks that take fewer than `trick_digits` digits are left
// out, as they are from the timings.
bool verify(const std::vector<Corpus>& corpora32, const std::vector<Corpus>& corpora64,
            const std::vector<Numbers>& buffers, std::size_t trick_digits = 0);

}  // namespace hexrace::bench
