// The portable list path: a token at a time, through parse_hex's own inline road.
#include <cstddef>
#include <cstdint>

#include "list.h"
#include "paths.h"

namespace hexrace::parse_detail {

HexListResult portable_parse_list(const char* first, const char* last, char delimiter,
                                  std::uint64_t* out, std::size_t capacity) {
    if (is_digit(delimiter)) {
        return {first, std::errc::invalid_argument, 0};
    }
    return finish_list(first, last, delimiter, out, capacity, 0);
}

}  // namespace hexrace::parse_detail
