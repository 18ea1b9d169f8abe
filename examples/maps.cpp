// How much of a process's address space each kind of mapping takes, from /proc/PID/maps:
//   maps < /proc/$$/maps    (a shell's; "< /proc/self/maps" reads nothing: the program replaces
//                            the process that opened it, whose map the file was)
// Each line starts "start-end perms offset ...": parse_hex stops at the "-" and says where, so the
// end address is parsed from the byte after it. A line that does not read so is reported, not
// guessed at.
#include <hexrace/parse.h>

#include <cstdint>
#include <iostream>
#include <map>
#include <string>

int main() {
    std::map<std::string, std::uint64_t> bytes_by_perms;
    std::string line;
    for (std::size_t number = 1; std::getline(std::cin, line); ++number) {
        const char* const first = line.data();
        const char* const last = first + line.size();
        std::uint64_t start = 0;
        std::uint64_t end = 0;
        const auto low = hexrace::parse_hex(first, last, start);
        const bool dash = low.ec == std::errc{} && low.ptr != last && *low.ptr == '-';
        const auto high = dash ? hexrace::parse_hex(low.ptr + 1, last, end)
                               : std::from_chars_result{low.ptr, std::errc::invalid_argument};
        if (high.ec != std::errc{} || high.ptr == last || *high.ptr != ' ' || end < start ||
            last - high.ptr < 5) {
            std::cerr << "line " << number << ": no start-end range: " << line << '\n';
            return 1;
        }
        bytes_by_perms[std::string(high.ptr + 1, 4)] += end - start;
    }
    for (const auto& [perms, bytes] : bytes_by_perms) {
        std::cout << perms << ' ' << bytes / 1024 << " KiB\n";
    }
    return 0;
}
