// hexrace_compare: the race's converters against the standard library and two reference
// converters, on the race's input, on each length and on a mixed corpus, with Google Benchmark.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "contestants.h"
#include "corpus.h"

namespace hexrace::bench {
namespace {

// One conversion per iteration, so Google Benchmark's time column is the time of one conversion.
template <Converter* Convert>
void time_calls(benchmark::State& state, const Corpus* corpus) {
    const std::vector<Text>& texts = corpus->texts;
    const std::size_t last = texts.size() - 1;
    std::size_t next = 0;
    for (auto _ : state) {
        const Text& text = texts[next];
        next = (next + 1) & last;
        benchmark::DoNotOptimize(Convert(text.data(), text.length));
    }
}

template <std::size_t... C>
void register_all(const std::vector<Corpus>& corpora, std::index_sequence<C...>) {
    for (const Corpus& corpus : corpora) {
        (benchmark::RegisterBenchmark((corpus.name + "/" + contestants[C].name).c_str(),
                                      time_calls<contestants[C].convert>, &corpus),
         ...);
    }
    // The floor under every figure above: the loop and one call, with no conversion.
    benchmark::RegisterBenchmark("C0000000/(loop and call only)", time_calls<call_nothing>,
                                 &corpora.front());
}

}  // namespace
}  // namespace hexrace::bench

int main(int argc, char** argv) {
    using namespace hexrace::bench;
    const std::vector<Corpus> corpora = all_corpora();
    if (!verify(corpora)) {
        return 1;
    }
    register_all(corpora, std::make_index_sequence<std::size(contestants)>{});

    // Defaults first, so that flags on the command line override them.
    std::vector<char*> args{argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=5", "--benchmark_min_time=0.1",
                              "--benchmark_display_aggregates_only=true"};
    for (std::string& flag : defaults) {
        args.push_back(flag.data());
    }
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
