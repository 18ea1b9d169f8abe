#include "benchmark.h"

// The race takes no arguments; any given are ignored.
int main() {
    hexrace::program_main();
}
