#include "contestants.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "hex_converters.h"
#include "hexrace/parse.h"
#include "paths.h"
#include "reference_converters.h"
#include "separate_calls.h"

namespace hexrace::bench {

bool parse_portable_is_default() {
    return !HEXRACE_PARSE_SSE2;
}

HEXRACE_NOINLINE std::uint32_t call_nothing(const char*, std::size_t length) {
    return static_cast<std::uint32_t>(length);
}

HEXRACE_NOINLINE std::uint64_t call_nothing64(const char*, std::size_t length) {
    return length;
}

namespace {

// Out of line, every one, so that each conversion costs the benchmark loop one real call; each
// standard call has one call site here, so that the compiler decides about inlining it into its
// caller as it does in a user's code.
template <HexConverter* Convert>
HEXRACE_NOINLINE std::uint32_t call_race(const char* text, std::size_t) {
    return Convert(text);
}

HEXRACE_NOINLINE std::uint32_t call_table_loop(const char* text, std::size_t) {
    return table_loop_hex(text);
}

HEXRACE_NOINLINE std::uint32_t call_swar(const char* text, std::size_t) {
    return swar_hex(text);
}

// std::from_chars and parse_hex over [text, text + length) in base 16; 0 on an error.
template <typename Unsigned>
HEXRACE_NOINLINE Unsigned call_from_chars(const char* text, std::size_t length) {
    Unsigned value = 0;
    std::from_chars(text, text + length, value, 16);
    return value;
}

template <typename Unsigned>
HEXRACE_NOINLINE Unsigned call_parse_hex(const char* text, std::size_t length) {
    Unsigned value = 0;
    (void)parse_hex(text, text + length, value);
    return value;
}

// std::strtoul in base 16 (it skips spaces and takes a sign and "0x"). Where unsigned long has 64
// bits the value is truncated to 32; where it has 32, a value past them saturates at ULONG_MAX.
HEXRACE_NOINLINE std::uint32_t call_strtoul(const char* text, std::size_t) {
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 16));
}

HEXRACE_NOINLINE std::uint64_t call_strtoull(const char* text, std::size_t) {
    return std::strtoull(text, nullptr, 16);
}

// std::sscanf with "%x" into an unsigned int.
HEXRACE_NOINLINE std::uint32_t call_sscanf(const char* text, std::size_t) {
    unsigned value = 0;
    return std::sscanf(text, "%x", &value) == 1 ? value : 0;
}

// std::stoul with base 16, on a std::string made of the text (that making included), truncated
// as strtoul's value; 0 where it throws.
HEXRACE_NOINLINE std::uint32_t call_stoul(const char* text, std::size_t length) {
    try {
        return static_cast<std::uint32_t>(std::stoul(std::string(text, length), nullptr, 16));
    } catch (const std::logic_error&) {  // invalid_argument or out_of_range
        return 0;
    }
}

// std::istringstream >> std::hex into a std::uint32_t, the stream made of the text.
HEXRACE_NOINLINE std::uint32_t call_istringstream(const char* text, std::size_t length) {
    std::istringstream in(std::string(text, length));
    std::uint32_t value = 0;
    in >> std::hex >> value;
    return in.fail() ? 0 : value;
}

constexpr bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The loops a user writes without the list functions. memchr finds each line's end, a "\r" before
// it is left out, and std::from_chars must take the rest.
template <typename Out>
std::size_t memchr_from_chars(const char* first, const char* last, Out* out, std::size_t capacity) {
    std::size_t count = 0;
    for (const char* line = first; line < last && count < capacity; ++count) {
        const auto* found = static_cast<const char*>(std::memchr(line, '\n', last - line));
        const char* const end = found != nullptr ? found : last;
        const char* const digits_end = end != line && end[-1] == '\r' ? end - 1 : end;
        if (std::from_chars(line, digits_end, out[count], 16).ptr != digits_end) {
            break;
        }
        line = end + 1;
    }
    return count;
}

// The same with std::strtoull, which needs the buffer NUL-terminated.
std::size_t strtoull_lines(const char* first, const char* last, std::uint64_t* out,
                           std::size_t capacity) {
    std::size_t count = 0;
    for (const char* line = first; line < last && count < capacity; ++count) {
        char* end = nullptr;
        out[count] = std::strtoull(line, &end, 16);
        if (end == line || (end != last && *end != '\n')) {
            break;
        }
        line = end + 1;
    }
    return count;
}

// White space skipped a byte at a time, then std::from_chars, which must stop at white space.
template <typename Out>
std::size_t spaces_from_chars(const char* first, const char* last, Out* out, std::size_t capacity) {
    std::size_t count = 0;
    for (const char* p = first;; ++count) {
        while (p != last && is_space(*p)) {
            ++p;
        }
        if (p == last || count == capacity) {
            return count;
        }
        const auto [end, ec] = std::from_chars(p, last, out[count], 16);
        if (ec != std::errc{} || (end != last && !is_space(*end))) {
            return count;
        }
        p = end;
    }
}

template <typename Out>
using Entry = HexListResult(const char* first, const char* last, Out* out, std::size_t capacity);

template <typename Out>
BulkParser<Out> counting(Entry<Out>* entry) {
    return [entry](const char* first, const char* last, Out* out, std::size_t capacity) {
        return entry(first, last, out, capacity).count;
    };
}

template <typename Out>
HexListResult lines_list(const char* first, const char* last, Out* out, std::size_t capacity) {
    return parse_hex_list(first, last, '\n', out, capacity);
}

template <typename Out>
HexListResult lines(const char* first, const char* last, Out* out, std::size_t capacity) {
    return parse_hex_lines(first, last, out, capacity);
}

template <typename Out>
HexListResult words(const char* first, const char* last, Out* out, std::size_t capacity) {
    return parse_hex_words(first, last, out, capacity);
}

// A list path's function, as the public one calls it once it has chosen.
template <typename Out>
BulkParser<Out> on_path(const parse_detail::ListFunctions* path, parse_detail::Format format) {
    return [function = path->get<Out>(format)](const char* first, const char* last, Out* out,
                                               std::size_t capacity) {
        const parse_detail::Sink<Out> sink{reinterpret_cast<unsigned char*>(out)};
        return function(first, last, '\n', sink, capacity, Prefix::none).count;
    };
}

std::vector<Contestant> make_contestants() {
    std::vector<Contestant> all;
    const auto trick = [&](const char* name, Converter* convert) {
        all.push_back({.name = name, .validates = false, .max_digits = 8, .convert = convert});
    };
    // Each of the race's converters through a call of its own, as the race calls it.
    [&]<std::size_t... Row>(std::index_sequence<Row...>) {
        (trick(kRace[Row].name, call_race<kRace[Row].converter>), ...);
    }
    (std::make_index_sequence<std::size(kRace)>{});
    all.push_back({.name = "std::from_chars",
                   .convert = call_from_chars<std::uint32_t>,
                   .convert64 = call_from_chars<std::uint64_t>});
    all.push_back({.name = "strtoul",
                   .convert = call_strtoul,
                   .convert64 = call_strtoull,
                   .name64 = "strtoull"});
    trick("table_loop", call_table_loop);
    trick("swar", call_swar);
    all.push_back({.name = "parse_hex",
                   .convert = call_parse_hex<std::uint32_t>,
                   .convert64 = call_parse_hex<std::uint64_t>});
    if (!parse_portable_is_default()) {
        // What the CPUs without a vector kernel take, here for comparison.
        all.push_back({.name = "parse_hex [portable]",
                       .convert = call_parse_hex_portable32,
                       .convert64 = call_parse_hex_portable64,
                       .name64 = "parse_hex u64 [portable]"});
    }
    all.push_back({.name = "std::sscanf", .convert = call_sscanf});
    all.push_back({.name = "std::stoul", .convert = call_stoul});
    all.push_back({.name = "std::istringstream", .convert = call_istringstream});
#if HEXRACE_HAVE_ABSL
    all.push_back({.name = "absl::SimpleHexAtoi", .convert = call_absl, .convert64 = call_absl64});
#endif

    // Buffers of many numbers.
    using parse_detail::Format;
    const auto bulk64 = [&](std::string name, BulkParser<std::uint64_t> parse, unsigned buffers) {
        all.push_back({.name = std::move(name), .bulk64 = std::move(parse), .buffers = buffers});
    };
    const auto bulk32 = [&](std::string name, BulkParser<std::uint32_t> parse, unsigned buffers) {
        all.push_back({.name = std::move(name), .bulk32 = std::move(parse), .buffers = buffers});
    };
    bulk64("parse_hex_list", counting<std::uint64_t>(lines_list), kBulk);
    bulk64("parse_hex_lines", counting<std::uint64_t>(lines), kBulk | kBulkCrlf);
    bulk64("parse_hex_words", counting<std::uint64_t>(words), kBulk | kBulkCrlf | kWords);
    bulk64("memchr + std::from_chars", memchr_from_chars<std::uint64_t>, kBulk | kBulkCrlf);
    bulk64("strtoull loop", strtoull_lines, kBulk);
    bulk64("white space + std::from_chars", spaces_from_chars<std::uint64_t>, kWords);
    bulk32("parse_hex_list u32", counting<std::uint32_t>(lines_list), kBulk32);
    bulk32("parse_hex_lines u32", counting<std::uint32_t>(lines), kBulk32);
    bulk32("parse_hex_words u32", counting<std::uint32_t>(words), kBulk32 | kWords);
    bulk32("memchr + std::from_chars u32", memchr_from_chars<std::uint32_t>, kBulk32);
    bulk32("white space + std::from_chars u32", spaces_from_chars<std::uint32_t>, kWords);
    // Each list path this CPU can take, each entry on the buffer it is for.
    for (const parse_detail::ListPath& path : parse_detail::list_paths()) {
        if (!path.runs_here()) {
            continue;
        }
        const std::string tag = std::string(" [") + path.name + "]";
        bulk64("parse_hex_list" + tag, on_path<std::uint64_t>(path.functions, Format::kDelimited),
               kBulk);
        bulk64("parse_hex_lines" + tag, on_path<std::uint64_t>(path.functions, Format::kLines),
               kBulk | kBulkCrlf);
        bulk64("parse_hex_words" + tag, on_path<std::uint64_t>(path.functions, Format::kWords),
               kWords);
        bulk32("parse_hex_lines u32" + tag, on_path<std::uint32_t>(path.functions, Format::kLines),
               kBulk32);
    }
    for (Contestant& c : all) {
        if (c.convert64 != nullptr && c.name64.empty()) {
            c.name64 = c.name + " u64";
        }
    }
    return all;
}

// "0x" and the digits: parse_hex asked for the prefix; std::from_chars after the caller strips
// it (checking it is there); strtoull, which takes it as it comes.
HEXRACE_NOINLINE std::uint64_t call_parse_hex_prefixed(const char* text, std::size_t length) {
    std::uint64_t value = 0;
    (void)parse_hex(text, text + length, value, Prefix::required);
    return value;
}

HEXRACE_NOINLINE std::uint64_t call_from_chars_stripped(const char* text, std::size_t length) {
    std::uint64_t value = 0;
    if (length > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::from_chars(text + 2, text + length, value, 16);
    }
    return value;
}

#if HEXRACE_PARSE_HAS_INT128
using Unsigned128 = parse_detail::uint128;

std::uint64_t fold(Unsigned128 value) {
    return static_cast<std::uint64_t>(value >> 64) ^ static_cast<std::uint64_t>(value);
}

HEXRACE_NOINLINE std::uint64_t call_parse_hex128(const char* text, std::size_t length) {
    Unsigned128 value = 0;
    (void)parse_hex(text, text + length, value);
    return fold(value);
}
#endif

// 32 digits without a 128-bit std::from_chars (libstdc++ has one only in GNU mode): the caller
// splits them into two halves of 16.
HEXRACE_NOINLINE std::uint64_t call_from_chars_halves(const char* text, std::size_t length) {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    const char* const middle = text + (length > 16 ? length - 16 : 0);
    std::from_chars(text, middle, high, 16);
    std::from_chars(middle, text + length, low, 16);
    return high ^ low;
}

HEXRACE_NOINLINE std::uint64_t call_strtoull_halves(const char* text, std::size_t length) {
    char high[17] = {};
    const std::size_t split = length > 16 ? length - 16 : 0;
    std::memcpy(high, text, split);
    return std::strtoull(high, nullptr, 16) ^ std::strtoull(text + split, nullptr, 16);
}

}  // namespace

const std::vector<NamedConverter64>& prefixed_converters() {
    static const std::vector<NamedConverter64> all = {
        {"parse_hex Prefix::required", true, call_parse_hex_prefixed},
        {"std::from_chars after stripping 0x", true, call_from_chars_stripped},
        {"strtoull", true, call_strtoull},
    };
    return all;
}

const std::vector<NamedConverter64>& wide_converters() {
    static const std::vector<NamedConverter64> all = {
#if HEXRACE_PARSE_HAS_INT128
        {"parse_hex u128", true, call_parse_hex128},
#endif
        {"std::from_chars, two halves", true, call_from_chars_halves},
        {"strtoull, two halves", true, call_strtoull_halves},
    };
    return all;
}

const std::vector<Contestant>& contestants() {
    static const std::vector<Contestant> all = make_contestants();
    return all;
}

}  // namespace hexrace::bench
