// The x86-64 vector kernels: sixteen text bytes in one register, classified and packed in a
// handful of instructions. Included only inside a target region (ssse3.cpp, avx2.cpp), each of
// which compiles its own copy for its instruction set: hence the unnamed namespace.
#pragma once

#include <immintrin.h>

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "list.h"
#include "paths.h"
#include "swar.h"

namespace hexrace::parse_detail {
namespace {

// Sixteen bytes of a constant operand.
struct alignas(16) Row {
    signed char lanes[16];
};

constexpr Row splat(int byte) {
    Row row{};
    for (signed char& lane : row.lanes) {
        lane = static_cast<signed char>(byte);
    }
    return row;
}

// pshufb masks that move the second of two overlapping eight-byte loads to its places, for texts
// of 8 to 15 bytes: lane i < 8 keeps byte i of the first load, lanes 8 to size - 1 take their bytes
// from the second (lanes 8 to 15 of the register), and the rest are zeroed (0x80).
constexpr Row tail_mask(int size) {
    Row mask{};
    for (int i = 0; i < 16; ++i) {
        mask.lanes[i] = static_cast<signed char>(i < 8 ? i : i < size ? i + 16 - size : 0x80);
    }
    return mask;
}

struct Constants {
    Row below_zero = splat('0' - 1);
    Row above_nine = splat('9' + 1);
    Row case_bit = splat(0x20);
    Row below_a = splat('a' - 1);
    Row above_f = splat('f' + 1);
    Row low_nibble = splat(0x0F);
    Row nine = splat(9);
    Row pair_weights = {{16, 1, 16, 1, 16, 1, 16, 1, 16, 1, 16, 1, 16, 1, 16, 1}};
    Row group_weights = {
        {0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0}};  // 256 and 1, as 16 bits
    Row gather = {{12, 13, 8, 9, 4, 5, 0, 1, -1, -1, -1, -1, -1, -1, -1, -1}};
    Row tail[8] = {tail_mask(8),  tail_mask(9),  tail_mask(10), tail_mask(11),
                   tail_mask(12), tail_mask(13), tail_mask(14), tail_mask(15)};
};

inline constexpr Constants kConstants{};

// The constants, at an address the compiler cannot see through: it then takes each operand from
// memory, rather than building it anew in a register on every call as GCC does for known values.
const Constants& constants() {
    const Constants* table = &kConstants;
    asm("" : "+r"(table));
    return *table;
}

__m128i operand(const Row& row) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(row.lanes));
}

__m128i load_low(const char* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// The first min(size, 16) text bytes in lanes 0 to 15, zeros after them; nothing outside
// [first, first + size) is read.
__m128i load_text16(const char* first, std::size_t size, const Constants& k) {
    if (size >= 16) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
    }
    if (size >= 8) {
        const __m128i both = _mm_unpacklo_epi64(load_low(first), load_low(first + size - 8));
        return _mm_shuffle_epi8(both, operand(k.tail[size - 8]));
    }
    return _mm_cvtsi64_si128(static_cast<long long>(load_partial(first, size)));
}

// The first min(size, 8) text bytes in lanes 0 to 7, zeros after them.
__m128i load_text8(const char* first, std::size_t size) {
    return size >= 8 ? load_low(first)
                     : _mm_cvtsi64_si128(static_cast<long long>(load_partial(first, size)));
}

// The leading digits of sixteen text bytes (0 to 16 of them).
Digits leading_digits(__m128i text, const Constants& k) {
    // Signed compares: bytes from 0x80 up are negative, so never above '0' - 1 or 'a' - 1.
    const __m128i decimal = _mm_and_si128(_mm_cmpgt_epi8(text, operand(k.below_zero)),
                                          _mm_cmpgt_epi8(operand(k.above_nine), text));
    const __m128i folded = _mm_or_si128(text, operand(k.case_bit));
    const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(folded, operand(k.below_a)),
                                          _mm_cmpgt_epi8(operand(k.above_f), folded));
    const auto digit_lanes =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(decimal, letters)));
    const int count = std::countr_zero(~digit_lanes);
    // Each digit's value: the low nibble, 9 more for a letter.
    const __m128i values = _mm_add_epi8(_mm_and_si128(text, operand(k.low_nibble)),
                                        _mm_and_si128(letters, operand(k.nine)));
    // Pairs of digits into 16 bits (16 x first + second), pairs of those into 32, then the four
    // 16-bit groups gathered into one word, the first group highest.
    const __m128i pairs = _mm_maddubs_epi16(values, operand(k.pair_weights));
    const __m128i groups = _mm_madd_epi16(pairs, operand(k.group_weights));
    const __m128i gathered = _mm_shuffle_epi8(groups, operand(k.gather));
    const auto aligned = static_cast<std::uint64_t>(_mm_cvtsi128_si64(gathered));
    // Sixteen places with the digits at the top: shift out the places after them.
    return {count == 0 ? 0 : aligned >> (64 - 4 * count), count};
}

std::from_chars_result vector_parse32(const char* first, const char* last, std::uint32_t& value) {
    const auto size = static_cast<std::size_t>(last - first);
    const Digits digits = leading_digits(load_text8(first, size), constants());
    if (digits.count == 0) {
        return {first, std::errc::invalid_argument};
    }
    if (digits.count == 8 && size > 8 && is_digit(static_cast<unsigned char>(first[8]))) {
        return parse_long(first, last, value);
    }
    value = static_cast<std::uint32_t>(digits.value);
    return {first + digits.count, std::errc{}};
}

std::from_chars_result vector_parse64(const char* first, const char* last, std::uint64_t& value) {
    const auto size = static_cast<std::size_t>(last - first);
    const Constants& k = constants();
    const Digits digits = leading_digits(load_text16(first, size, k), k);
    if (digits.count == 0) {
        return {first, std::errc::invalid_argument};
    }
    if (digits.count == 16 && size > 16 && is_digit(static_cast<unsigned char>(first[16]))) {
        return parse_long(first, last, value);
    }
    value = digits.value;
    return {first + digits.count, std::errc{}};
}

// Bit i set where block[i] is the delimiter, for the 64 bytes at block.
std::uint64_t delimiter_mask(const char* block, __m128i delimiters) {
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
        const auto lanes =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, delimiters)));
        mask |= std::uint64_t{lanes} << 16 * i;
    }
    return mask;
}

// A token the fast road leaves: the list is full, or the token is empty, longer than sixteen or
// not all digits. Kept out of line, so that the fast road keeps its registers.
[[gnu::noinline, gnu::cold]] bool take_token_slowly(const char*& token, const char* last,
                                                    char delimiter, std::uint64_t* out,
                                                    std::size_t capacity, HexListResult& stop) {
    if (stop.count == capacity) {
        stop = {token, std::errc::no_buffer_space, stop.count};
        return false;
    }
    std::uint64_t value = 0;
    if (!take_token<vector_parse64>(token, last, delimiter, value, stop)) {
        return false;
    }
    out[stop.count++] = value;
    return true;
}

// Where the text is long enough, 64 bytes at a time: their delimiters first, so that where each
// token starts follows from a bit mask, not from parsing the token before it, and the tokens'
// parses can overlap. A token that ends in a block is parsed from one sixteen-byte load, which
// stays in the text as sixteen bytes follow the block. The rest a token at a time.
HexListResult vector_parse_list(const char* first, const char* last, char delimiter,
                                std::uint64_t* out, std::size_t capacity) {
    if (is_digit(static_cast<unsigned char>(delimiter))) {
        return {first, std::errc::invalid_argument, 0};
    }
    const Constants& k = constants();
    const __m128i delimiters = _mm_set1_epi8(delimiter);
    const char* token = first;
    HexListResult stop{first, std::errc{}, 0};
    for (const char* block = first; last - block >= 64 + 16; block += 64) {
        for (std::uint64_t ends = delimiter_mask(block, delimiters); ends != 0; ends &= ends - 1) {
            const char* const end = block + std::countr_zero(ends);
            const auto size = static_cast<std::size_t>(end - token);
            if (size - 1 < 16 && stop.count != capacity) {
                const Digits digits =
                    leading_digits(_mm_loadu_si128(reinterpret_cast<const __m128i*>(token)), k);
                if (static_cast<std::size_t>(digits.count) == size) {
                    out[stop.count++] = digits.value;
                    token = end + 1;
                    continue;
                }
            }
            if (!take_token_slowly(token, last, delimiter, out, capacity, stop)) {
                return stop;
            }
        }
    }
    return finish_list<vector_parse64>(token, last, delimiter, out, capacity, stop.count);
}

}  // namespace
}  // namespace hexrace::parse_detail
