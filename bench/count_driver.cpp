// hexrace_count CONTESTANT INPUT CONVERSIONS: converts the inputs (fixed, mixed, mixed16 or bulk)
// CONVERSIONS times with one contestant (or "nothing"), for instruction counting under callgrind,
// and prints how many conversions it made. With bulk, a conversion is a line, parsed a whole
// buffer at a time, so the count is rounded up to whole buffers.
// hexrace_count --list: each contestant's name, a tab and the inputs it takes, one a line.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "contestants.h"
#include "corpus.h"

namespace {

using namespace hexrace::bench;

template <typename Function>
long convert_cycling(Function* convert, const Corpus& corpus, long conversions) {
    const std::size_t last = corpus.texts.size() - 1;
    std::size_t next = 0;
    for (long i = 0; i < conversions; ++i) {
        const Text& text = corpus.texts[next];
        next = (next + 1) & last;
        benchmark::DoNotOptimize(convert(text.data(), text.length));
    }
    return conversions;
}

long parse_buffers(const BulkParser<std::uint64_t>& parse, long lines_wanted) {
    const Numbers lines = bulk_buffer();
    std::vector<std::uint64_t> out(lines.values.size());
    long done = 0;
    while (done < lines_wanted) {
        benchmark::DoNotOptimize(parse(lines.text.data(), lines.text.data() + lines.text.size(),
                                       out.data(), out.size()));
        done += static_cast<long>(lines.values.size());
    }
    return done;
}

int made(long conversions) {
    std::printf("%ld\n", conversions);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const Contestant& c : contestants()) {
            if (c.convert != nullptr) {
                std::printf("%s\tfixed mixed\n", c.name.c_str());
            }
        }
        for (const Contestant& c : contestants()) {
            if (c.convert64 != nullptr) {
                std::printf("%s\tmixed16\n", c.name64.c_str());
            }
        }
        for (const Contestant& c : contestants()) {
            if (c.bulk64 && (c.buffers & kBulk) != 0) {
                std::printf("%s\tbulk\n", c.name.c_str());
            }
        }
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s CONTESTANT|nothing INPUT CONVERSIONS, or %s --list\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string name = argv[1];
    const std::string input = argv[2];
    const long conversions = std::strtol(argv[3], nullptr, 10);
    if (conversions <= 0) {
        std::fprintf(stderr, "%s: no conversions\n", argv[0]);
        return 2;
    }
    const bool narrow = input == "fixed" || input == "mixed";
    // "nothing" measures the loop and the call alone.
    if (name == "nothing" && narrow) {
        return made(convert_cycling(
            call_nothing, input == "fixed" ? fixed_corpus() : mixed_corpus(8), conversions));
    }
    for (const Contestant& c : contestants()) {
        if (name == c.name && narrow && c.convert != nullptr) {
            return made(convert_cycling(
                c.convert, input == "fixed" ? fixed_corpus() : mixed_corpus(8), conversions));
        }
        if (name == c.name64 && input == "mixed16" && c.convert64 != nullptr) {
            return made(convert_cycling(c.convert64, mixed_corpus(16), conversions));
        }
        if (name == c.name && input == "bulk" && c.bulk64 && (c.buffers & kBulk) != 0) {
            return made(parse_buffers(c.bulk64, conversions));
        }
    }
    std::fprintf(stderr, "%s: no contestant %s for input %s\n", argv[0], name.c_str(),
                 input.c_str());
    return 2;
}
