// libFuzzer target for the parser: parse_hex of the input, for every integer type, must give what
// std::from_chars gives (with a prefix stripped by hand, for each prefix mode), and every list
// function on every path, for every output width, what its contract, spelt out with
// std::from_chars, gives; the input lies in a buffer of exactly its size. Its first two bytes
// also choose the list's delimiter (any byte) and capacity (0 to 4, exactly enough, or more).
// decode_hex, decode_hex_spaced and encode_hex on every path are checked the same way.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hexrace/bytes.h"
#include "hexrace/parse.h"
#include "list_reference.h"
#include "paths.h"

namespace {

using hexrace::HexListResult;
using hexrace::Prefix;
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

template <typename T>
void check_prefixes(const char* first, const char* last) {
    for (const auto prefix : {Prefix::none, Prefix::optional, Prefix::required}) {
        T want = 7, got = 7;
        const auto expected = hexrace::testing::reference_token(first, last, want, prefix);
        const auto result = hexrace::parse_hex(first, last, got, prefix);
        const auto* const want_ptr =
            expected.ec == std::errc::invalid_argument ? first : expected.ptr;
        if (result.ptr != want_ptr || result.ec != expected.ec || got != want) {
            std::abort();
        }
    }
}

template <typename Out>
void check_list(const hexrace::parse_detail::ListPath& path, Format format, const char* first,
                const char* last, char delimiter, std::size_t capacity, Prefix prefix) {
    std::vector<Out> want(capacity + 1, 0x5A), got(capacity + 1, 0x5A);
    const HexListResult expected = hexrace::testing::reference_list(format, first, last, delimiter,
                                                                    want.data(), capacity, prefix);
    const HexListResult result = path.functions->get<Out>(format)(
        first, last, delimiter,
        hexrace::parse_detail::Sink<Out>{reinterpret_cast<unsigned char*>(got.data())}, capacity,
        prefix);
    if (result.ptr != expected.ptr || result.ec != expected.ec || result.count != expected.count ||
        got != want) {
        std::abort();
    }
}

template <typename Out>
void check_lists(const char* first, const char* last, char delimiter, std::uint8_t choice) {
    for (const auto format : {Format::kDelimited, Format::kLines, Format::kWords}) {
        const auto size = static_cast<std::size_t>(last - first);
        std::size_t capacity = choice % 8;
        if (capacity == 5) {  // exactly the number of values the list has
            std::vector<Out> all(size + 1);
            capacity = hexrace::testing::reference_list(format, first, last, delimiter, all.data(),
                                                        size + 1)
                           .count;
        } else if (capacity > 5) {
            capacity = size;
        }
        const auto prefix = choice / 8 % 4 == 1   ? Prefix::optional
                            : choice / 8 % 4 == 2 ? Prefix::required
                                                  : Prefix::none;
        for (const auto& path : hexrace::parse_detail::list_paths()) {
            if (path.runs_here()) {
                check_list<Out>(path, format, first, last, delimiter, capacity, prefix);
            }
        }
    }
}

// decode_hex and decode_hex_spaced of the input against their contract, and encode_hex of its
// bytes, on every path.
void check_bytes(const char* first, const char* last, std::uint8_t choice) {
    const auto size = static_cast<std::size_t>(last - first);
    const std::size_t capacity = choice % 4 == 0 ? size / 2 : choice % 4 == 1 ? size / 7 : size;
    std::string want_text;
    for (const char* p = first; p != last; ++p) {
        want_text += "0123456789ABCDEF"[static_cast<unsigned char>(*p) >> 4];
        want_text += "0123456789ABCDEF"[*p & 0xF];
    }
    for (const auto& path : hexrace::parse_detail::list_paths()) {
        if (!path.runs_here()) {
            continue;
        }
        for (const bool spaced : {false, true}) {
            std::vector<std::uint8_t> want(capacity + 1, 0x5A), got(capacity + 1, 0x5A);
            const HexListResult expected =
                hexrace::testing::reference_decode(spaced, first, last, want.data(), capacity);
            const auto decode = spaced ? path.bytes->decode_spaced : path.bytes->decode;
            const HexListResult result = decode(first, last, got.data(), capacity);
            if (result.ptr != expected.ptr || result.ec != expected.ec ||
                result.count != expected.count || got != want) {
                std::abort();
            }
        }
        std::string text(2 * size, '\0');
        const char* const end = path.bytes->encode(reinterpret_cast<const std::uint8_t*>(first),
                                                   reinterpret_cast<const std::uint8_t*>(last),
                                                   text.data(), hexrace::HexCase::upper);
        if (end != text.data() + text.size() || text != want_text) {
            std::abort();
        }
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
    check_prefixes<unsigned char>(first, last);
    check_prefixes<std::uint64_t>(first, last);
    const char delimiter = size > 0 ? static_cast<char>(data[0]) : '\n';
    const std::uint8_t choice = size > 1 ? data[1] : 7;
    check_lists<std::uint64_t>(first, last, delimiter, choice);
    check_lists<std::uint32_t>(first, last, delimiter, choice);
    check_lists<std::uint16_t>(first, last, delimiter, choice);
    check_lists<std::uint8_t>(first, last, delimiter, choice);
    check_bytes(first, last, choice);
    return 0;
}
