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

#if HEXRACE_PARSE_HAS_INT128
// Up to 32 digits as two parses of up to sixteen: the first sixteen bytes, then what follows.
HEXRACE_PARSE_INLINE Parsed<uint128> parse_fast128(const char* first, const char* last) noexcept {
    const auto size = static_cast<std::size_t>(last - first);
    if (size <= 16) {
        const Parsed<std::uint64_t> low = parse_fast<std::uint64_t>(first, last);
        return {low.ptr, low.ec, low.value};
    }
    const Places head = kernel::leading_places<16>(first, size);
    if (head.count < 16) {
        return {first + head.count, head.count == 0 ? std::errc::invalid_argument : std::errc{},
                value_of(head)};
    }
    const Parsed<std::uint64_t> tail = parse_fast<std::uint64_t>(first + 16, last);
    if (tail.ec == std::errc::invalid_argument) {
        return {first + 16, std::errc{}, head.places};
    }
    if (tail.ec != std::errc{} || tail.ptr - first > 32) {
        // More than 32 digits: too many unless the first ones are zeros.
        return parse_rare<uint128>(first, last);
    }
    const auto shift = static_cast<unsigned>(4 * (tail.ptr - (first + 16)));
    return {tail.ptr, std::errc{}, uint128{head.places} << shift | tail.value};
}
#endif

template <typename U>
HEXRACE_PARSE_ALWAYS_INLINE constexpr Parsed<U> parse_unsigned(const char* first,
                                                               const char* last) noexcept {
    if (HEXRACE_PARSE_CONSTANT_EVALUATED()) {
        return parse_plain<U>(first, last);
    }
#if HEXRACE_PARSE_HAS_INT128
    if constexpr (sizeof(U) == 16) {
        return parse_fast128(first, last);
    } else {
        return parse_fast<U>(first, last);
    }
#else
    return parse_fast<U>(first, last);
#endif
}

// The unsigned type of T's width, and whether T has a sign: std::make_unsigned and
// std::is_signed, which know the 128-bit types only in GNU mode.
template <typename T>
struct Traits {
    using Unsigned = std::make_unsigned_t<T>;
    static constexpr bool kSigned = std::is_signed_v<T>;
};
#if HEXRACE_PARSE_HAS_INT128
template <>
struct Traits<int128> {
    using Unsigned = uint128;
    static constexpr bool kSigned = true;
};
template <>
struct Traits<uint128> {
    using Unsigned = uint128;
    static constexpr bool kSigned = false;
};
#endif

// The digits at `digits_first` (after the "-" and the prefix, if any) into `value`, with the
// sign that `negative` says; `first` is the text's first byte, where an invalid_argument points.
template <typename T>
HEXRACE_PARSE_ALWAYS_INLINE constexpr std::from_chars_result parse_number(const char* first,
                                                                          const char* digits_first,
                                                                          const char* last,
                                                                          bool negative,
                                                                          T& value) noexcept {
    using U = typename Traits<T>::Unsigned;
    const Parsed<U> digits = parse_unsigned<U>(digits_first, last);
    if (digits.ec == std::errc::invalid_argument) {
        return {first, digits.ec};
    }
    if (digits.ec != std::errc{}) {
        return {digits.ptr, digits.ec};
    }
    if constexpr (Traits<T>::kSigned) {
        // As far below zero as the type goes, one less above it.
        constexpr U kMax = static_cast<U>(~U{0}) >> 1;
        if (digits.value > kMax + U{negative}) {
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

// "0x" or "0X" at p.
constexpr bool has_prefix(const char* p, const char* last) {
    return last - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

}  // namespace HEXRACE_PARSE_ABI
}  // namespace hexrace::parse_detail

namespace hexrace {
inline namespace HEXRACE_PARSE_ABI {

template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int>>
HEXRACE_PARSE_ALWAYS_INLINE constexpr std::from_chars_result parse_hex(const char* first,
                                                                       const char* last,
                                                                       T& value) noexcept {
    const bool negative = parse_detail::Traits<T>::kSigned && first != last && *first == '-';
    return parse_detail::parse_number(first, first + negative, last, negative, value);
}

template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int>>
HEXRACE_PARSE_ALWAYS_INLINE constexpr std::from_chars_result parse_hex(const char* first,
                                                                       const char* last, T& value,
                                                                       Prefix prefix) noexcept {
    const bool negative = parse_detail::Traits<T>::kSigned && first != last && *first == '-';
    const char* const start = first + negative;
    if (prefix == Prefix::none) {
        return parse_detail::parse_number(first, start, last, negative, value);
    }
    if (parse_detail::has_prefix(start, last)) {
        if (last - start > 2 && parse_detail::is_digit(start[2])) {
            return parse_detail::parse_number(first, start + 2, last, negative, value);
        }
        if (prefix == Prefix::optional) {  // "0x" and no digit: the "0" alone
            value = 0;
            return {start + 1, std::errc{}};
        }
    }
    if (prefix == Prefix::required) {
        return {first, std::errc::invalid_argument};
    }
    return parse_detail::parse_number(first, start, last, negative, value);
}

template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int>>
HEXRACE_PARSE_ALWAYS_INLINE constexpr std::from_chars_result parse_hex(std::string_view text,
                                                                       T& value) noexcept {
    return parse_hex(text.data(), text.data() + text.size(), value);
}

template <typename T, std::enable_if_t<parse_detail::is_parse_type<T>, int>>
HEXRACE_PARSE_ALWAYS_INLINE constexpr std::from_chars_result parse_hex(std::string_view text,
                                                                       T& value,
                                                                       Prefix prefix) noexcept {
    return parse_hex(text.data(), text.data() + text.size(), value, prefix);
}

}  // namespace HEXRACE_PARSE_ABI
}  // namespace hexrace
