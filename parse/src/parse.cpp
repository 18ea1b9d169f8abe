// The public functions, each through the best path the running CPU has.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hexrace/parse.h"
#include "paths.h"

namespace hexrace {
namespace {

const parse_detail::Path& chosen_path() {
    // Chosen on the first call, once: the CPU does not change under a running program.
    static const parse_detail::Path& path = parse_detail::available_paths().back();
    return path;
}

}  // namespace

std::from_chars_result parse_hex(const char* first, const char* last, std::uint32_t& value) {
    return chosen_path().parse32(first, last, value);
}

std::from_chars_result parse_hex(const char* first, const char* last, std::uint64_t& value) {
    return chosen_path().parse64(first, last, value);
}

HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                             std::uint64_t* out, std::size_t capacity) {
    return chosen_path().parse_list(first, last, delimiter, out, capacity);
}

}  // namespace hexrace
