// The public list functions, each through the best path the running CPU has, chosen once.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hexrace/bytes.h"
#include "hexrace/parse.h"
#include "paths.h"

namespace hexrace::parse_detail {
namespace {

bool everywhere() {
    return true;
}

#if HEXRACE_PARSE_X86_64
// The first call may come from a static constructor, before the CPU's features are read.
bool has_avx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
           __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
           __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
}

bool has_avx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
}

bool has_ssse3() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}
#endif

// Best first; a path earns its row by a figure in the suite.
constexpr ListPath kListPaths[] = {
#if HEXRACE_PARSE_X86_64
    {"avx512", "avx512bw,avx512vbmi2", has_avx512, &avx512_functions, &avx512_bytes},
    {"avx2", "avx2", has_avx2, &avx2_functions, &avx2_bytes},
    {"ssse3", "ssse3", has_ssse3, &ssse3_functions, &ssse3_bytes},
#endif
#if HEXRACE_PARSE_AARCH64
    {"neon", "neon", everywhere, &neon_functions, &neon_bytes},
#endif
    {"portable", nullptr, everywhere, &portable_functions, &portable_bytes},
};

// Found on the first call and kept: every later call costs a load and an indirect call. Racing
// first calls find and store the same row.
std::atomic<const ListPath*> chosen{nullptr};

// Out of line, so that a call after the first saves no registers for it: a digest's decode is a
// few nanoseconds, of which a stack frame would be a good part.
[[gnu::noinline, gnu::cold]] const ListPath* choose() {
    const ListPath* path = kListPaths;
    while (!path->runs_here()) {
        ++path;
    }
    chosen.store(path, std::memory_order_relaxed);
    return path;
}

const ListPath& best_path() {
    const ListPath* path = chosen.load(std::memory_order_relaxed);
    if (__builtin_expect(path == nullptr, 0)) {
        path = choose();
    }
    return *path;
}

const ListFunctions& best() {
    return *best_path().functions;
}

template <typename Out>
HexListResult parse(Format format, const char* first, const char* last, char delimiter, void* out,
                    std::size_t capacity, Prefix prefix) {
    return best().get<Out>(format)(first, last, delimiter,
                                   Sink<Out>{static_cast<unsigned char*>(out)}, capacity, prefix);
}

}  // namespace

std::span<const ListPath> list_paths() {
    return kListPaths;
}

HexListResult parse_list8(ListFormat format, const char* first, const char* last, char delimiter,
                          void* out, std::size_t capacity, Prefix prefix) noexcept {
    return parse<std::uint8_t>(format, first, last, delimiter, out, capacity, prefix);
}

HexListResult parse_list16(ListFormat format, const char* first, const char* last, char delimiter,
                           void* out, std::size_t capacity, Prefix prefix) noexcept {
    return parse<std::uint16_t>(format, first, last, delimiter, out, capacity, prefix);
}

HexListResult parse_list32(ListFormat format, const char* first, const char* last, char delimiter,
                           void* out, std::size_t capacity, Prefix prefix) noexcept {
    return parse<std::uint32_t>(format, first, last, delimiter, out, capacity, prefix);
}

HexListResult parse_list64(ListFormat format, const char* first, const char* last, char delimiter,
                           void* out, std::size_t capacity, Prefix prefix) noexcept {
    return parse<std::uint64_t>(format, first, last, delimiter, out, capacity, prefix);
}

}  // namespace hexrace::parse_detail

namespace hexrace {

HexListResult decode_hex(const char* first, const char* last, std::uint8_t* out,
                         std::size_t capacity) noexcept {
    return parse_detail::best_path().bytes->decode(first, last, out, capacity);
}

HexListResult decode_hex_spaced(const char* first, const char* last, std::uint8_t* out,
                                std::size_t capacity) noexcept {
    return parse_detail::best_path().bytes->decode_spaced(first, last, out, capacity);
}

char* encode_hex(const std::uint8_t* first, const std::uint8_t* last, char* out,
                 HexCase letters) noexcept {
    return parse_detail::best_path().bytes->encode(first, last, out, letters);
}

}  // namespace hexrace

// 2.0's entries, which the header now reaches through templates of its own: kept, so that a
// program linked with a 2.0 shared library runs with this one.
namespace hexrace {

using parse_detail::Format;
using parse_detail::parse_list;

HEXRACE_PARSE_API HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                                               std::uint64_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                                               std::uint32_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_lines(const char* first, const char* last,
                                                std::uint64_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_lines(const char* first, const char* last,
                                                std::uint32_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_words(const char* first, const char* last,
                                                std::uint64_t* out, std::size_t capacity);
HEXRACE_PARSE_API HexListResult parse_hex_words(const char* first, const char* last,
                                                std::uint32_t* out, std::size_t capacity);

HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                             std::uint64_t* out, std::size_t capacity) {
    return parse_list(Format::kDelimited, first, last, delimiter, out, capacity, Prefix::none);
}

HexListResult parse_hex_list(const char* first, const char* last, char delimiter,
                             std::uint32_t* out, std::size_t capacity) {
    return parse_list(Format::kDelimited, first, last, delimiter, out, capacity, Prefix::none);
}

HexListResult parse_hex_lines(const char* first, const char* last, std::uint64_t* out,
                              std::size_t capacity) {
    return parse_list(Format::kLines, first, last, '\n', out, capacity, Prefix::none);
}

HexListResult parse_hex_lines(const char* first, const char* last, std::uint32_t* out,
                              std::size_t capacity) {
    return parse_list(Format::kLines, first, last, '\n', out, capacity, Prefix::none);
}

HexListResult parse_hex_words(const char* first, const char* last, std::uint64_t* out,
                              std::size_t capacity) {
    return parse_list(Format::kWords, first, last, ' ', out, capacity, Prefix::none);
}

HexListResult parse_hex_words(const char* first, const char* last, std::uint32_t* out,
                              std::size_t capacity) {
    return parse_list(Format::kWords, first, last, ' ', out, capacity, Prefix::none);
}

}  // namespace hexrace
