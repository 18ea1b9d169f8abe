// The portable path: eight bytes a word, on any CPU and either byte order.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "list.h"
#include "paths.h"
#include "portable.h"
#include "swar.h"

namespace hexrace::parse_detail {
namespace {

// The end of the run of digits that starts at p.
const char* run_end(const char* p, const char* last) {
    for (; last - p >= 8; p += 8) {
        const int count = count_before(stop_bytes(load_le64(p)));
        if (count < 8) {
            return p + count;
        }
    }
    while (p != last && is_digit(static_cast<unsigned char>(*p))) {
        ++p;
    }
    return p;
}

// The value of `count` (0 to 16) digits at p.
std::uint64_t value_of(const char* p, std::size_t count) {
    const std::uint64_t w0 = count >= 8 ? load_le64(p) : load_partial(p, count);
    const std::uint64_t w1 = count == 16 ? load_le64(p + 8)
                             : count > 8 ? load_partial(p + 8, count - 8)
                                         : 0;
    return leading_digits16(w0, w1).value;
}

template <typename Unsigned>
std::from_chars_result parse_any_run(const char* first, const char* last, Unsigned& value) {
    const char* const end = run_end(first, last);
    const char* significant = first;
    while (significant != end && *significant == '0') {
        ++significant;
    }
    if (end == first) {
        return {first, std::errc::invalid_argument};
    }
    const auto count = static_cast<std::size_t>(end - significant);
    if (count > 2 * sizeof(Unsigned)) {
        return {end, std::errc::result_out_of_range};
    }
    value = static_cast<Unsigned>(value_of(significant, count));
    return {end, std::errc{}};
}

}  // namespace

std::from_chars_result parse_long(const char* first, const char* last, std::uint32_t& value) {
    return parse_any_run(first, last, value);
}

std::from_chars_result parse_long(const char* first, const char* last, std::uint64_t& value) {
    return parse_any_run(first, last, value);
}

std::from_chars_result portable_parse32(const char* first, const char* last, std::uint32_t& value) {
    return parse32(first, last, value);
}

std::from_chars_result portable_parse64(const char* first, const char* last, std::uint64_t& value) {
    return parse64(first, last, value);
}

HexListResult portable_parse_list(const char* first, const char* last, char delimiter,
                                  std::uint64_t* out, std::size_t capacity) {
    return parse_list_with<portable_parse64>(first, last, delimiter, out, capacity);
}

}  // namespace hexrace::parse_detail
