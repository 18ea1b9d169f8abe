// The paths of an x86-64 build: the portable one, and SSSE3 where the CPU reports it.
#include <span>

#include "paths.h"

namespace hexrace::parse_detail {

std::from_chars_result ssse3_parse64(const char* first, const char* last, std::uint64_t& value);
HexListResult ssse3_parse_list(const char* first, const char* last, char delimiter,
                               std::uint64_t* out, std::size_t capacity);

std::span<const Path> available_paths() {
    static constexpr Path kPaths[] = {
        {"portable", portable_parse32, portable_parse64, portable_parse_list},
        {"ssse3", portable_parse32, ssse3_parse64, ssse3_parse_list},
    };
    static const std::size_t count = __builtin_cpu_supports("ssse3") ? 2 : 1;
    return {kPaths, count};
}

}  // namespace hexrace::parse_detail
