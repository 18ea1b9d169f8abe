// SPDX-License-Identifier: MIT
// parse_hex's definitions, inline in the caller, every integer type through one core: the digits
// as an unsigned value of the type's width, then the sign where the type has one.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "hexrace/detail/config.h"
#include "hexrace/detail/swar.h"
#if HEXRACE_PARSE_SSE2
#include "hexrace/detail/sse2.h"
#endif

namespace hexrace::parse_detail {
inline namespace HEXRACE_PARSE_ABI {

#if HEXRACE_PARSE_SSE2
namespace kernel = sse2;
#else
namespace kernel = portable;
#endif

// What the core found: the std::from_chars_result and, without an error, the value. Returned
// rather than written through a reference, so that the caller's value need not live in memory.
template <typename U>
struct Parsed {
    const char* ptr;
    std::errc ec;
    U value;
};

// The digits at first, one byte at a time, as an unsigned value of type U: the road for constant
// expressions and for the rare texts the fast road leaves (more digits than U holds, counting
// leading zeros).
template <typename U>
constexpr Parsed<U> parse_plain(const char* first, const char* last) noexcept {
    const char* p = first;
    while (p != last && *p == '0') {
        ++p;
    }
    U sum = 0;
    std::size_t significant = 0;
    for (; p != last && is_digit(*p); ++p) {
        if (significant < 2 * sizeof(U)) {
            sum = static_cast<U>(sum << 4 | digit_value(*p));
        }
        ++significant;
    }
    if (p == first) {
        return {first, std::errc::invalid_argument, 0};
    }
    if (significant > 2 * sizeof(U)) {
        return {p, std::errc::result_out_of_range, 0};
    }
    return {p, std::errc{}, sum};
}

template <typename U>
HEXRACE_PARSE_COLD Parsed<U> parse_rare(const char* first, const char* last) noexcept {
    return parse_plain<U>(first, last);
}

// The fast road. Short texts: the digit table, a branch a byte, where no type but the narrowest
// can overflow. Longer ones: the kernel reads the text (as many bytes as the type has digits,
// eight at least) in one go, with overlapping loads where it is shorter, never past its end. More
// digits than the type holds, or than were read, send the text to the rare road.
template <typename U>
HEXRACE_PARSE_INLINE Parsed<U> parse_fast(const char* first, const char* last) noexcept {
    constexpr int kWindow = 2 * sizeof(U);
    constexpr int kRead = kWindow < 16 ? 8 : 16;
    const auto size = static_cast<std::size_t>(last - first);
    if (size < kernel::kShortest) {
        std::uint32_t sum = 0;
        std::size_t count = 0;
        HEXRACE_PARSE_UNROLL
        for (; count < kernel::kShortest - 1; ++count) {
            const unsigned digit = count == size ? kNoDigit : digit_value(first[count]);
            if (digit == kNoDigit) {
                break;
            }
            sum = sum << 4 | digit;
        }
        if (count == 0) {
            return {first, std::errc::invalid_argument, 0};
        }
        if (kWindow < 8 && count > kWindow) {
            return parse_rare<U>(first, last);
        }
        return {first + count, std::errc{}, static_cast<U>(sum)};
    }
    const Places found = kernel::leading_places<kRead>(first, size);
    const std::size_t read = size < kRead ? size : kRead;
    if (static_cast<std::size_t>(found.count) == read) {
        // Every byte read a digit, the common case: the value waits on the bytes alone, their
        // check only on a branch.
        if (kWindow < kRead ? read > kWindow
                            : read == kRead && size > kRead && is_digit(first[kRead])) {
            return parse_rare<U>(first, last);
        }
        return {first + read, std::errc{}, static_cast<U>(found.places >> (64 - 4 * read))};
    }
    if (found.count == 0) {
        return {first, std::errc::invalid_argument, 0};
    }
    if (kWindow < kRead && found.count > kWindow) {
        return parse_rare<U>(first, last);
    }
    return {first + found.count, std::errc{}, static_cast<U>(value_of(found))};
}

template <typename U>
HEXRACE_PARSE_ALWAYS_INLINE constexpr Parsed<U> parse_unsigned(const char* first,
                                                               const char* last) noexcept {
    if (HEXRACE_PARSE_CONSTANT_EVALUATED()) {
        return parse_plain<U>(first, last);
    }
    return parse_fast<U>(first, last);
}

}  // namespace HEXRACE_PARSE_ABI
}  // namespace hexrace::parse_detail

namespace hexrace {
inline namespace HEXRACE_PARSE_ABI {

template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int>>
HEXRACE_PARSE_ALWAYS_INLINE constexpr std::from_chars_result parse_hex(const char* first,
                                                                       const char* last,
                                                                       T& value) noexcept {
    using U = std::make_unsigned_t<T>;
    const bool negative = std::is_signed_v<T> && first != last && *first == '-';
    const parse_detail::Parsed<U> digits = parse_detail::parse_unsigned<U>(first + negative, last);
    if (digits.ec == std::errc::invalid_argument) {
        return {first, digits.ec};
    }
    if (digits.ec != std::errc{}) {
        return {digits.ptr, digits.ec};
    }
    if constexpr (std::is_signed_v<T>) {
        // As far below zero as the type goes, one less above it.
        if (digits.value > static_cast<U>(std::numeric_limits<T>::max()) + U{negative}) {
            return {digits.ptr, std::errc::result_out_of_range};
        }
        value = !negative           ? static_cast<T>(digits.value)
                : digits.value == 0 ? T{0}
                                    : static_cast<T>(-static_cast<T>(digits.value - 1) - 1);
    } else {
        value = digits.value;
    }
    return {digits.ptr, std::errc{}};
}

template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int>>
HEXRACE_PARSE_ALWAYS_INLINE constexpr std::from_chars_result parse_hex(std::string_view text,
                                                                       T& value) noexcept {
    return parse_hex(text.data(), text.data() + text.size(), value);
}

}  // namespace HEXRACE_PARSE_ABI
}  // namespace hexrace
