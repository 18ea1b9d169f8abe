// Built for the base CPU, linked with native.cpp, run on a CPU without native.cpp's extensions:
// its parse must not run any of native.cpp's copies of the inline code.
#include <hexrace/parse.h>

#include <cstdio>

unsigned parse_on_new_cpu(const char* text, const char* end);

int main(int argc, char**) {
    static const char text[] = "89abcdef";
    unsigned value = 0;
    (void)hexrace::parse_hex(text, text + 8, value);
    if (argc > 1) {  // never: keeps the other file's call in the program
        value = parse_on_new_cpu(text, text + 8);
    }
    std::printf("%x\n", value);
    return value == 0x89abcdef ? 0 : 1;
}
