// The parser's paths: the portable one, always built, and those that use the CPU's vector units.
// Each path does the whole job; the public functions take the best one the CPU has, chosen once.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hexrace/parse.h"

namespace hexrace::parse_detail {

struct Path {
    const char* name;
    std::from_chars_result (*parse32)(const char* first, const char* last, std::uint32_t& value);
    std::from_chars_result (*parse64)(const char* first, const char* last, std::uint64_t& value);
    HexListResult (*parse_list)(const char* first, const char* last, char delimiter,
                                std::uint64_t* out, std::size_t capacity);
};

// Every path of this build that the running CPU can take, the portable one first, the one the
// public functions use last.
std::span<const Path> available_paths();

// The portable path's parts, which the other paths use for what they leave to it.
std::from_chars_result portable_parse32(const char* first, const char* last, std::uint32_t& value);
std::from_chars_result portable_parse64(const char* first, const char* last, std::uint64_t& value);
HexListResult portable_parse_list(const char* first, const char* last, char delimiter,
                                  std::uint64_t* out, std::size_t capacity);

// Any run of digits, of any length, at first: the rare case of more than sixteen.
std::from_chars_result parse_long(const char* first, const char* last, std::uint32_t& value);
std::from_chars_result parse_long(const char* first, const char* last, std::uint64_t& value);

}  // namespace hexrace::parse_detail
