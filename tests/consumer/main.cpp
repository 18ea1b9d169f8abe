// A program of someone else's: parses its arguments as hexadecimal numbers with the installed
// parser, as a user would call it, into several integer types, and its standard input's lines
// with the list function. Prints what it found; exits 1 if any argument is no number.
#include <hexrace/parse.h>
#include <hexrace/version.h>

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <vector>

int main(int argc, char** argv) {
    static_assert(HEXRACE_VERSION_MAJOR == 2, "the version this program was written for");
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view text = argv[i];
        std::uint64_t wide = 0;
        int narrow = 0;
        signed char byte = 0;
        const auto [end, ec] = hexrace::parse_hex(text, wide);
        if (ec != std::errc{} || end != text.data() + text.size()) {
            std::printf("%s: no hexadecimal number of 64 bits\n", argv[i]);
            ++failures;
            continue;
        }
        std::printf("%s = %llu", argv[i], static_cast<unsigned long long>(wide));
        if (hexrace::parse_hex(text, narrow).ec == std::errc{}) {
            std::printf(", int %d", narrow);
        }
        if (hexrace::parse_hex(text.data(), text.data() + text.size(), byte).ec == std::errc{}) {
            std::printf(", signed char %d", byte);
        }
        std::printf("\n");
    }
    const char lines[] = "1f\r\n-\r\n";
    std::vector<std::uint32_t> values(2);
    const hexrace::HexListResult list =
        hexrace::parse_hex_lines(lines, lines + sizeof lines - 1, values.data(), values.size());
    std::printf("lines: %zu value (0x%X), stopped at byte %td\n", list.count, values[0],
                list.ptr - lines);
    return failures == 0 ? 0 : 1;
}
