// The portable list path: a token at a time, through parse_hex's own inline road.
#include <cstddef>
#include <cstdint>

#include "list.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

template <Format F, typename Out>
HexListResult portable_list(const char* first, const char* last, char delimiter, Out* out,
                            std::size_t capacity) {
    if (bad_delimiter<F>(delimiter)) {
        return {first, std::errc::invalid_argument, 0};
    }
    return finish_list<F>(first, last, delimiter, out, capacity, 0);
}

}  // namespace

extern const ListFunctions portable_functions = {
    {portable_list<Format::kDelimited, std::uint64_t>, portable_list<Format::kLines, std::uint64_t>,
     portable_list<Format::kWords, std::uint64_t>},
    {portable_list<Format::kDelimited, std::uint32_t>, portable_list<Format::kLines, std::uint32_t>,
     portable_list<Format::kWords, std::uint32_t>},
};

}  // namespace hexrace::parse_detail
