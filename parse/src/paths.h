// The list parser's paths: the portable one, always built, and those that use the CPU's vector
// units, each in a file of its own, compiled for its instruction set. Every path does the whole
// job, for every format and output width; the public functions take the first path of the table
// that the running CPU can take.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hexrace/bytes.h"
#include "hexrace/parse.h"
#include "list.h"

namespace hexrace::parse_detail {

// What a block of 64 bytes holds: bit i of `ends` set where block[i] ends a token (the delimiter,
// "\n" or white space); `clean` where every byte is a digit or such a separator (for lines, a "\r"
// only before "\n"), so that no token in it needs its digits checked.
// Also the block's digits, and its "\r" bytes for lines.
struct Block {
    std::uint64_t ends;
    bool clean;
    std::uint64_t digits;
    std::uint64_t returns;
};

template <Format F>
Block block_of(const char* block, std::uint64_t ends, std::uint64_t digits, std::uint64_t returns) {
    std::uint64_t known = ends | digits;
    if constexpr (F == Format::kLines) {
        const std::uint64_t before_newline = ends >> 1 | std::uint64_t{block[64] == '\n'} << 63;
        known |= returns & before_newline;
    }
    return {ends, known == ~std::uint64_t{0}, digits, returns};
}

// Writes values[i] for each bit i of `starts`, lowest first, to out[0], out[1], ...; returns how
// many.
template <typename Out>
std::size_t store_each(const std::uint8_t (&values)[64], std::uint64_t starts, Sink<Out> out) {
    std::size_t count = 0;  // a local, which no store to out can be taken to change
    for (; starts != 0; starts &= starts - 1) {
        out.put(count++, values[std::countr_zero(starts)]);
    }
    return count;
}

template <typename Out>
using ListFunction = HexListResult(const char* first, const char* last, char delimiter,
                                   Sink<Out> out, std::size_t capacity, Prefix prefix);

// A path's parser for each format (indexed by Format) and output width; lines and words ignore
// the delimiter.
struct ListFunctions {
    ListFunction<std::uint64_t>* parse64[kFormats];
    ListFunction<std::uint32_t>* parse32[kFormats];
    ListFunction<std::uint16_t>* parse16[kFormats];
    ListFunction<std::uint8_t>* parse8[kFormats];

    template <typename Out>
    ListFunction<Out>* get(Format format) const {
        const auto index = static_cast<int>(format);
        if constexpr (sizeof(Out) == 8) {
            return parse64[index];
        } else if constexpr (sizeof(Out) == 4) {
            return parse32[index];
        } else if constexpr (sizeof(Out) == 2) {
            return parse16[index];
        } else {
            return parse8[index];
        }
    }
};

// The table of a path whose parser is `Parser<F, Out>::parse` for every format and width.
template <template <Format, typename> class Parser>
constexpr ListFunctions functions_of() {
    constexpr Format kD = Format::kDelimited;
    constexpr Format kL = Format::kLines;
    constexpr Format kW = Format::kWords;
    using std::uint16_t, std::uint32_t, std::uint64_t, std::uint8_t;
    return {
        {Parser<kD, uint64_t>::parse, Parser<kL, uint64_t>::parse, Parser<kW, uint64_t>::parse},
        {Parser<kD, uint32_t>::parse, Parser<kL, uint32_t>::parse, Parser<kW, uint32_t>::parse},
        {Parser<kD, uint16_t>::parse, Parser<kL, uint16_t>::parse, Parser<kW, uint16_t>::parse},
        {Parser<kD, uint8_t>::parse, Parser<kL, uint8_t>::parse, Parser<kW, uint8_t>::parse},
    };
}

// Where 64 bytes are hex digits, and where ASCII white space.
struct Classes {
    std::uint64_t digits;
    std::uint64_t spaces;
};

// A path's hex text to bytes and back.
struct BytesFunctions {
    HexListResult (*decode)(const char* first, const char* last, std::uint8_t* out,
                            std::size_t capacity);
    HexListResult (*decode_spaced)(const char* first, const char* last, std::uint8_t* out,
                                   std::size_t capacity);
    char* (*encode)(const std::uint8_t* first, const std::uint8_t* last, char* out,
                    HexCase letters);
};

struct ListPath {
    const char* name;
    const char* instruction_set;  // what the CPU must have; nullptr for none
    bool (*runs_here)();
    const ListFunctions* functions;
    const BytesFunctions* bytes;
};

// Every path of this build, best first; the portable one, which runs everywhere, last.
std::span<const ListPath> list_paths();

extern const ListFunctions portable_functions;
extern const ListFunctions avx512_functions;
extern const ListFunctions avx2_functions;
extern const ListFunctions ssse3_functions;
extern const ListFunctions neon_functions;

extern const BytesFunctions portable_bytes;
extern const BytesFunctions avx512_bytes;
extern const BytesFunctions avx2_bytes;
extern const BytesFunctions ssse3_bytes;
extern const BytesFunctions neon_bytes;

}  // namespace hexrace::parse_detail
