// Everyone the comparison suite times, in one list: the race's converters, the calls a user would
// make instead, two unvalidated tricks of the suite's own, and hexrace::parse with its list paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hexrace::bench {

// One text, and its length, to its value; every contestant is called through one of these, out of
// line, so that each conversion costs the benchmark loop one real call.
using Converter = std::uint32_t(const char* text, std::size_t length);
using Converter64 = std::uint64_t(const char* text, std::size_t length);

// A buffer of numbers into out; returns how many it wrote, all of them when the buffer holds
// nothing but numbers and their separators.
template <typename Out>
using BulkParser =
    std::function<std::size_t(const char* first, const char* last, Out* out, std::size_t capacity)>;

// The suite's buffers of many numbers, about 1 MiB each.
enum Buffer : unsigned {
    kBulk = 1,      // "bulk": random 1- to 16-digit lines, each ended by "\n"
    kBulkCrlf = 2,  // "bulk_crlf": the same numbers, each line ended by "\r\n"
    kBulk32 = 4,    // "bulk32": random 1- to 8-digit lines, for 32-bit outputs
    kWords = 8,     // "words": two-digit words, a space between, a line end after every sixteen
};

struct Contestant {
    std::string name{};
    // Checks its input as std::from_chars does and says what it cannot take. The others are
    // tricks, there for scale: they return something for any text.
    bool validates = true;
    // The most digits a trick converts to the ordinary value.
    std::size_t max_digits = 16;
    Converter* convert = nullptr;      // 32-bit values
    Converter64* convert64 = nullptr;  // 64-bit values, timed under name64
    std::string name64{};
    BulkParser<std::uint64_t> bulk64{};  // or a buffer at a time, into 64-bit values
    BulkParser<std::uint32_t> bulk32{};  // or into 32-bit values
    unsigned buffers = 0;                // the Buffers its bulk parser takes
};

// Every contestant, each once, in the order of the suite's tables.
const std::vector<Contestant>& contestants();

// Converts nothing and returns the length: what the benchmark loop and one call cost alone.
std::uint32_t call_nothing(const char* text, std::size_t length);
std::uint64_t call_nothing64(const char* text, std::size_t length);

// Where each text lies: zero-padded to this many bytes, so every contestant may read sixteen.
inline constexpr std::size_t kSlotBytes = 48;

// Numbers as people write them, each row a caller's whole way to the value: the "prefixed"
// workload's texts start with "0x", the "len32" workload's has 32 digits (its value folded to 64
// bits, high half XOR low half, so that one Converter64 returns it).
struct NamedConverter64 {
    const char* name;
    bool validates;
    Converter64* convert;
};
const std::vector<NamedConverter64>& prefixed_converters();
const std::vector<NamedConverter64>& wide_converters();

}  // namespace hexrace::bench
