// Parses its arguments as hexadecimal numbers: the installed parser, as a user would call it.
#include <hexrace/parse.h>

#include <cstdio>
#include <cstring>
#include <system_error>

int main(int argc, char** argv) {
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const char* const text = argv[i];
        std::uint64_t value = 0;
        const auto [end, ec] = hexrace::parse_hex(text, text + std::strlen(text), value);
        if (ec != std::errc{} || *end != '\0') {
            std::printf("%s: no hexadecimal number\n", text);
            ++failures;
        } else {
            std::printf("%s = %llu\n", text, static_cast<unsigned long long>(value));
        }
    }
    return failures == 0 ? 0 : 1;
}
