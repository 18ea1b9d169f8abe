// Built for a newer CPU than the program runs on: called only where that CPU is present.
#include <hexrace/parse.h>

unsigned parse_on_new_cpu(const char* text, const char* end) {
    unsigned value = 0;
    (void)hexrace::parse_hex(text, end, value);
    return value;
}
