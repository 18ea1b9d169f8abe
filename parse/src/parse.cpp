// The public functions, each through the best path the running CPU has.
#include <atomic>
#include <charconv>
#include <cstddef>
#include <cstdint>

#include "hexrace/parse.h"
#include "paths.h"

namespace hexrace {
namespace {

using parse_detail::Path;

// One entry point's function on the best path: found on the first call and kept, so that every
// later call costs a load and an indirect jump. Racing first calls find and store the same one.
template <typename Function, Function* Path::*Member>
struct Chosen;

template <typename Result, typename... Args, Result (*Path::*Member)(Args...)>
struct Chosen<Result(Args...), Member> {
    static Result first_call(Args... args) {
        const auto best = parse_detail::available_paths().back().*Member;
        function.store(best, std::memory_order_relaxed);
        return best(args...);
    }
    static inline std::atomic<Result (*)(Args...)> function{first_call};
};

using Chosen32 =
    Chosen<std::from_chars_result(const char*, const char*, std::uint32_t&), &Path::parse32>;
using Chosen64 =
    Chosen<std::from_chars_result(const char*, const char*, std::uint64_t&), &Path::parse64>;
using ChosenList =
    Chosen<HexListResult(const char*, const char*, char, std::uint64_t*, std::size_t),
           &Path::parse_list>;

}  // namespace

std::from_chars_result parse_hex(const char* first, const char* last, std::uint32_t& value) {
    return Chosen32::function.load(std::memory_order_relaxed)(first, last, value);
}

std::from_chars_result parse_hex(const char* first, const char* last, std::uint64_t& value) {
    return Chosen64::function.load(std::memory_order_relaxed)(first, last, value);
}

HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                             std::uint64_t* out, std::size_t capacity) {
    return ChosenList::function.load(std::memory_order_relaxed)(first, last, delimiter, out,
                                                                capacity);
}

}  // namespace hexrace
