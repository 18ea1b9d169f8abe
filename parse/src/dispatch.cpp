// The public list functions, each through the best path the running CPU has, chosen once.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hexrace/parse.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

bool everywhere() {
    return true;
}

#if HEXRACE_PARSE_SSSE3
bool has_ssse3() {
    __builtin_cpu_init();  // the first call may come from a static constructor
    return __builtin_cpu_supports("ssse3");
}
#endif

// Best first: a path earns its row by a figure in the suite. (The SSSE3 kernels in VEX encoding,
// for AVX, took three instructions fewer a number and no less time: no row.)
constexpr ListPath kListPaths[] = {
#if HEXRACE_PARSE_SSSE3
    {"ssse3", "ssse3", has_ssse3, ssse3_parse_list},
#endif
#if HEXRACE_PARSE_NEON
    {"neon", "neon", everywhere, neon_parse_list},
#endif
    {"portable", nullptr, everywhere, portable_parse_list},
};

// Found on the first call and kept: every later call costs a load and an indirect call. Racing
// first calls find and store the same row.
std::atomic<const ListPath*> chosen{nullptr};

const ListPath& best_path() {
    const ListPath* path = chosen.load(std::memory_order_relaxed);
    if (path == nullptr) {
        path = kListPaths;
        while (!path->runs_here()) {
            ++path;
        }
        chosen.store(path, std::memory_order_relaxed);
    }
    return *path;
}

}  // namespace

std::span<const ListPath> list_paths() {
    return kListPaths;
}

}  // namespace hexrace::parse_detail

namespace hexrace {

HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                             std::uint64_t* out, std::size_t capacity) {
    return parse_detail::best_path().parse_list(first, last, delimiter, out, capacity);
}

}  // namespace hexrace
