#include "contestants.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "hexrace/parse.h"
#include "paths.h"
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

std::uint64_t call_nothing64(const char*, std::size_t length) {
    return length;
}

// One call site of each std::from_chars in this file, so that the compiler decides about
// inlining it as in a user's code.
std::uint32_t call_from_chars(const char* text, std::size_t length) {
    std::uint32_t value = 0;
    std::from_chars(text, text + length, value, 16);
    return value;
}

std::uint64_t call_from_chars64(const char* text, std::size_t length) {
    std::uint64_t value = 0;
    std::from_chars(text, text + length, value, 16);
    return value;
}

std::uint32_t call_parse_hex(const char* text, std::size_t length) {
    std::uint32_t value = 0;
    parse_hex(text, text + length, value);
    return value;
}

std::uint64_t call_parse_hex64(const char* text, std::size_t length) {
    std::uint64_t value = 0;
    parse_hex(text, text + length, value);
    return value;
}

std::uint32_t call_strtoul(const char* text, std::size_t) {
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 16));
}

std::uint64_t call_strtoull(const char* text, std::size_t) {
    return std::strtoull(text, nullptr, 16);
}

std::uint32_t call_sscanf(const char* text, std::size_t) {
    unsigned value = 0;
    return std::sscanf(text, "%x", &value) == 1 ? value : 0;
}

std::uint32_t call_stoul(const char* text, std::size_t length) {
    try {
        return static_cast<std::uint32_t>(std::stoul(std::string(text, length), nullptr, 16));
    } catch (const std::logic_error&) {  // invalid_argument or out_of_range
        return 0;
    }
}

std::uint32_t call_istringstream(const char* text, std::size_t length) {
    std::istringstream in(std::string(text, length));
    std::uint32_t value = 0;
    in >> std::hex >> value;
    return in.fail() ? 0 : value;
}

namespace {

// The list paths' functions, set before any is called (by path_bulk_contestants) and read from
// memory on every call, as the public functions read theirs.
parse_detail::ListParser* path_parse_list[kMaxPaths];

}  // namespace

std::size_t bulk_parse_hex_list(const char* first, const char* last, std::uint64_t* out,
                                std::size_t capacity) {
    return parse_hex_list(first, last, '\n', out, capacity).count;
}

template <std::size_t Path>
std::size_t bulk_path(const char* first, const char* last, std::uint64_t* out,
                      std::size_t capacity) {
    return path_parse_list[Path](first, last, '\n', out, capacity).count;
}

std::size_t bulk_memchr_from_chars(const char* first, const char* last, std::uint64_t* out,
                                   std::size_t capacity) {
    std::size_t count = 0;
    for (const char* line = first; line < last && count < capacity; ++count) {
        const auto* found = static_cast<const char*>(std::memchr(line, '\n', last - line));
        const char* const end = found != nullptr ? found : last;
        if (std::from_chars(line, end, out[count], 16).ptr != end) {
            break;
        }
        line = end + 1;
    }
    return count;
}

std::size_t bulk_strtoull(const char* first, const char* last, std::uint64_t* out,
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

namespace {

// A name kept for the life of the program: a deque never moves what it holds.
const char* kept_name(std::string name) {
    static std::deque<std::string> names;
    return names.emplace_back(std::move(name)).c_str();
}

}  // namespace

std::vector<BulkContestant> path_bulk_contestants() {
    static constexpr BulkParser* functions[kMaxPaths] = {bulk_path<0>, bulk_path<1>, bulk_path<2>,
                                                         bulk_path<3>};
    std::vector<BulkContestant> rows;
    for (const parse_detail::ListPath& path : parse_detail::list_paths()) {
        if (path.runs_here() && rows.size() < kMaxPaths) {
            path_parse_list[rows.size()] = path.parse_list;
            rows.push_back({kept_name(std::string("parse_hex_list [") + path.name + "]"),
                            functions[rows.size()]});
        }
    }
    return rows;
}

std::vector<BulkContestant> all_bulk_contestants() {
    std::vector<BulkContestant> all{std::begin(bulk_contestants), std::end(bulk_contestants)};
    const std::vector<BulkContestant> paths = path_bulk_contestants();
    all.insert(all.end(), paths.begin(), paths.end());
    return all;
}

}  // namespace hexrace::bench
