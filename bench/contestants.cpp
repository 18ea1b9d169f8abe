#include "contestants.h"

#include <charconv>
#include <cstdlib>

#include "reference_converters.h"

namespace hexrace::bench {

std::uint32_t call_atodw(const char* text, std::size_t) {
    return atodw(text);
}
std::uint32_t call_vumo_short(const char* text, std::size_t) {
    return vumo_short(text);
}
std::uint32_t call_pardu_long(const char* text, std::size_t) {
    return pardu_long(text);
}
std::uint32_t call_wefra_short(const char* text, std::size_t) {
    return wefra_short(text);
}
std::uint32_t call_table_loop(const char* text, std::size_t) {
    return table_loop_hex(text);
}
std::uint32_t call_swar(const char* text, std::size_t) {
    return swar_hex(text);
}

std::uint32_t call_nothing(const char*, std::size_t length) {
    return static_cast<std::uint32_t>(length);
}

std::uint32_t call_from_chars(const char* text, std::size_t length) {
    std::uint32_t value = 0;
    std::from_chars(text, text + length, value, 16);
    return value;
}

std::uint32_t call_strtoul(const char* text, std::size_t) {
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 16));
}

}  // namespace hexrace::bench
