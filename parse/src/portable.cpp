// The portable list path: a token at a time, through parse_hex's own inline road.
#include <cstddef>
#include <cstdint>

#include "list.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

template <Format F, typename Out>
HexListResult portable_list(const char* first, const char* last, char delimiter, Sink<Out> out,
                            std::size_t capacity, Prefix prefix) {
    if (bad_delimiter<F>(delimiter)) {
        return {first, std::errc::invalid_argument, 0};
    }
    return finish_list<F>(first, last, delimiter, out, capacity, prefix, 0);
}

template <Format F, typename Out>
struct PortableList {
    static constexpr ListFunction<Out>* parse = portable_list<F, Out>;
};

}  // namespace

extern const ListFunctions portable_functions = functions_of<PortableList>();

}  // namespace hexrace::parse_detail
