// libFuzzer target for the parser: parse_hex of the input, for every integer type, must give what
// std::from_chars gives, and every list function on every path, for both output widths, what its
// contract, spelt out with std::from_chars, gives; the input lies in a buffer of exactly its size.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "hexrace/parse.h"
#include "list_reference.h"
#include "paths.h"

namespace {

using hexrace::HexListResult;
using hexrace::parse_detail::Format;

template <typename... T>
void check_numbers(const char* first, const char* last) {
    const auto check = [&](auto want) {
        auto got = want;
        const auto expected = std::from_chars(first, last, want, 16);
        const auto result = hexrace::parse_hex(first, last, got);
        if (result.ptr != expected.ptr || result.ec != expected.ec || got != want) {
            std::abort();
        }
    };
    (check(static_cast<T>(7)), ...);
}

template <typename Out>
void check_list(const hexrace::parse_detail::ListPath& path, Format format, const char* first,
                const char* last, std::size_t capacity) {
    std::vector<Out> want(capacity + 1, 0xBAD), got(capacity + 1, 0xBAD);
    const HexListResult expected =
        hexrace::testing::reference_list(format, first, last, '\n', want.data(), capacity);
    const HexListResult result =
        path.functions->get<Out>(format)(first, last, '\n', got.data(), capacity);
    if (result.ptr != expected.ptr || result.ec != expected.ec || result.count != expected.count ||
        got != want) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<char[]> text(new char[size]);
    std::memcpy(text.get(), data, size);
    const char* const first = text.get();
    const char* const last = first + size;
    check_numbers<char, signed char, unsigned char, short, unsigned short, int, unsigned, long,
                  unsigned long, long long, unsigned long long>(first, last);
    // A capacity from the input's length, so that a full list is tried too.
    const std::size_t capacity = size % 7 == 0 ? size / 7 : size;
    for (const auto& path : hexrace::parse_detail::list_paths()) {
        if (!path.runs_here()) {
            continue;
        }
        for (const auto format : {Format::kDelimited, Format::kLines, Format::kWords}) {
            check_list<std::uint64_t>(path, format, first, last, capacity);
            check_list<std::uint32_t>(path, format, first, last, capacity);
        }
    }
    return 0;
}
