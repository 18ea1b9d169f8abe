// The list parser's paths: the portable one, always built, and those that use the CPU's vector
// units, each in a file of its own, compiled for its instruction set. Every path does the whole
// job; the public functions take the first one of the table that the running CPU can take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "hexrace/parse.h"

namespace hexrace::parse_detail {

// The leading digits of a text: how many and, when there are some, their value.
struct Digits {
    std::uint64_t value;
    int count;
};

using ListParser = HexListResult(const char* first, const char* last, char delimiter,
                                 std::uint64_t* out, std::size_t capacity);

struct ListPath {
    const char* name;
    const char* instruction_set;  // what the CPU must have; nullptr for none
    bool (*runs_here)();
    ListParser* parse_list;
};

// Every path of this build, best first; the portable one, which runs everywhere, last.
std::span<const ListPath> list_paths();

ListParser portable_parse_list;
ListParser ssse3_parse_list;
ListParser neon_parse_list;

}  // namespace hexrace::parse_detail
