// The SSSE3 path (x86-64): sixteen bytes classified at once and their digits packed with
// pmaddubsw, where sixteen bytes of the text are there to load; the portable path elsewhere.
#include <immintrin.h>

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "paths.h"
#include "swar.h"
#include "target_region.h"

HEXRACE_TARGET_BEGIN("ssse3")
#include "list.h"

namespace hexrace::parse_detail {
namespace {

// Bytes of `text` within [low, high], as 0xFF.
__m128i in_range(__m128i text, char low, char high) {
    const __m128i at_least = _mm_cmpeq_epi8(_mm_max_epu8(text, _mm_set1_epi8(low)), text);
    const __m128i at_most = _mm_cmpeq_epi8(_mm_min_epu8(text, _mm_set1_epi8(high)), text);
    return _mm_and_si128(at_least, at_most);
}

// The leading digits of the sixteen bytes at p.
Digits leading_digits_at(const char* p) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i letters = in_range(_mm_or_si128(text, _mm_set1_epi8(0x20)), 'a', 'f');
    const __m128i digits = _mm_or_si128(in_range(text, '0', '9'), letters);
    const auto count = std::countr_zero(~static_cast<unsigned>(_mm_movemask_epi8(digits)));
    if (count == 0) {
        return {0, 0};
    }
    // Digit values (the low nibble, 9 more for a letter), the places after the digits zeroed.
    const __m128i places = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i kept = _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(count)), places);
    const __m128i values = _mm_and_si128(_mm_add_epi8(_mm_and_si128(text, _mm_set1_epi8(0x0F)),
                                                      _mm_and_si128(letters, _mm_set1_epi8(9))),
                                         kept);
    // 16 x first + second digit of each pair, then the eight pairs as bytes, the first lowest.
    const __m128i pairs = _mm_maddubs_epi16(values, _mm_set1_epi16(0x0110));
    const auto packed =
        static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(pairs, pairs)));
    const std::uint64_t aligned = __builtin_bswap64(packed);
    return {aligned >> 4 * (16 - count), count};
}

std::from_chars_result parse64(const char* first, const char* last, std::uint64_t& value) {
    const auto size = static_cast<std::size_t>(last - first);
    if (size < 16) {
        return portable_parse64(first, last, value);
    }
    const Digits digits = leading_digits_at(first);
    if (digits.count == 0) {
        return {first, std::errc::invalid_argument};
    }
    if (digits.count == 16 && size > 16 && is_digit(static_cast<unsigned char>(first[16]))) {
        return parse_long(first, last, value);
    }
    value = digits.value;
    return {first + digits.count, std::errc{}};
}

}  // namespace

HexListResult ssse3_parse_list(const char* first, const char* last, char delimiter,
                               std::uint64_t* out, std::size_t capacity) {
    return parse_list_with<parse64>(first, last, delimiter, out, capacity);
}

std::from_chars_result ssse3_parse64(const char* first, const char* last, std::uint64_t& value) {
    return parse64(first, last, value);
}

}  // namespace hexrace::parse_detail
HEXRACE_TARGET_END
