// libFuzzer target for the parser: on every path, parse_hex of the input (both widths) must give
// what std::from_chars gives, and parse_hex_list of it what the list's contract, spelt out with
// std::from_chars, gives; the input lies in a buffer of exactly its size.
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

template <typename Unsigned, typename Parse>
void check_number(Parse parse, const char* first, const char* last) {
    Unsigned want = 7;
    Unsigned got = 7;
    const auto expected = std::from_chars(first, last, want, 16);
    const auto result = parse(first, last, got);
    if (result.ptr != expected.ptr || result.ec != expected.ec || got != want) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<char[]> text(new char[size]);
    std::memcpy(text.get(), data, size);
    const char* const first = text.get();
    const char* const last = first + size;
    // A capacity from the input's length, so that a full list is tried too.
    const std::size_t capacity = size % 7 == 0 ? size / 7 : size;
    for (const auto& path : hexrace::parse_detail::available_paths()) {
        check_number<std::uint32_t>(path.parse32, first, last);
        check_number<std::uint64_t>(path.parse64, first, last);
        std::vector<std::uint64_t> want(capacity + 1, 0xBAD), got(capacity + 1, 0xBAD);
        const HexListResult expected =
            hexrace::testing::reference_list(first, last, '\n', want.data(), capacity);
        const HexListResult result = path.parse_list(first, last, '\n', got.data(), capacity);
        if (result.ptr != expected.ptr || result.ec != expected.ec ||
            result.count != expected.count || got != want) {
            std::abort();
        }
    }
    return 0;
}
