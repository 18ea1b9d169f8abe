// hexrace_count CONTESTANT INPUT CONVERSIONS: converts the inputs (fixed or mixed) CONVERSIONS
// times with one contestant (or "nothing"), for instruction counting under callgrind.
// hexrace_count --list: the contestants' names, one a line.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "contestants.h"
#include "corpus.h"

int main(int argc, char** argv) {
    using namespace hexrace::bench;
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const Contestant& c : contestants) {
            std::printf("%s\n", c.name);
        }
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s CONTESTANT|nothing fixed|mixed CONVERSIONS, or %s --list\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string name = argv[1];
    const std::string input = argv[2];
    const long conversions = std::strtol(argv[3], nullptr, 10);
    // "nothing" measures the loop and the call alone.
    Converter* convert = name == "nothing" ? call_nothing : nullptr;
    for (const Contestant& c : contestants) {
        if (name == c.name) {
            convert = c.convert;
        }
    }
    if (convert == nullptr || (input != "fixed" && input != "mixed") || conversions <= 0) {
        std::fprintf(stderr, "%s: unknown contestant or input, or no conversions\n", argv[0]);
        return 2;
    }
    const Corpus corpus = input == "fixed" ? fixed_corpus() : mixed_corpus();
    const std::size_t last = corpus.texts.size() - 1;
    std::size_t next = 0;
    for (long i = 0; i < conversions; ++i) {
        const Text& text = corpus.texts[next];
        next = (next + 1) & last;
        benchmark::DoNotOptimize(convert(text.data(), text.length));
    }
    return 0;
}
