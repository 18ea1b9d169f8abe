// hexrace_compare: the race's converters against the calls a user would make instead, the
// validated parser among them, with Google Benchmark: on the race's input, on each length, on
// mixed corpora, one conversion waiting for the one before, and a buffer of lines in bulk.
#include <benchmark/benchmark.h>

#include <set>
#include <string>
#include <vector>

#include "contestants.h"
#include "corpus.h"

namespace hexrace::bench {
namespace {

constexpr const char* kFloor = "(loop and call only)";

// One conversion per iteration, so Google Benchmark's time column is the time of one conversion.
// The texts of a corpus follow one another independently: conversions may overlap.
template <typename Function>
void time_calls(benchmark::State& state, const Corpus* corpus, Function* convert) {
    const std::vector<Text>& texts = corpus->texts;
    const std::size_t last = texts.size() - 1;
    std::size_t next = 0;
    for (auto _ : state) {
        const Text& text = texts[next];
        next = (next + 1) & last;
        benchmark::DoNotOptimize(convert(text.data(), text.length));
    }
}

// Each text chosen by the value converted before it: the time of a conversion from its start to
// its result, with nothing to overlap it.
void time_chain(benchmark::State& state, const Corpus* corpus, Converter* convert) {
    const std::vector<Text>& texts = corpus->texts;
    const std::size_t last = texts.size() - 1;
    std::size_t next = 0;
    for (auto _ : state) {
        const Text& text = texts[next];
        next = convert(text.data(), text.length) & last;
    }
    benchmark::DoNotOptimize(next);
}

// The whole buffer per iteration, in bytes per second.
void time_bulk(benchmark::State& state, const Lines* lines, BulkParser* parse) {
    std::vector<std::uint64_t> out(lines->values.size());
    const char* const first = lines->text.data();
    const char* const last = first + lines->text.size();
    for (auto _ : state) {
        benchmark::DoNotOptimize(parse(first, last, out.data(), out.size()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * lines->text.size()));
}

template <typename Row, typename Timing, typename Input>
void register_row(const std::string& input, const Row& row, Timing timing, const Input* data) {
    benchmark::RegisterBenchmark((input + "/" + row.name).c_str(), timing, data, row.convert);
}

// Every row of a width on every corpus of it, and the floor under each corpus: the loop and one
// call, with no conversion.
template <typename Row, typename Function, typename Table>
void register_width(const std::vector<Corpus>& corpora, const Table& table, const Row& floor,
                    std::set<std::string>& floored) {
    for (const Corpus& corpus : corpora) {
        for (const Row& row : table) {
            register_row(corpus.name, row, time_calls<Function>, &corpus);
        }
        if (floored.insert(corpus.name).second) {
            register_row(corpus.name, floor, time_calls<Function>, &corpus);
        }
    }
}

void register_all(const std::vector<Corpus>& corpora32, const Corpus& latency,
                  const std::vector<Corpus>& corpora64, const Lines& lines) {
    std::set<std::string> floored;
    register_width<Contestant, Converter>(corpora32, contestants, {kFloor, call_nothing}, floored);
    for (const Contestant& row : contestants) {
        register_row(latency.name, row, time_chain, &latency);
    }
    register_row(latency.name, Contestant{kFloor, call_nothing}, time_chain, &latency);
    register_width<Contestant64, Converter64>(corpora64, contestants64, {kFloor, call_nothing64},
                                              floored);
    for (const BulkContestant& c : all_bulk_contestants()) {
        benchmark::RegisterBenchmark((std::string("bulk/") + c.name).c_str(), time_bulk, &lines,
                                     c.parse);
    }
}

}  // namespace
}  // namespace hexrace::bench

int main(int argc, char** argv) {
    using namespace hexrace::bench;
    const std::vector<Corpus> corpora32 = ::hexrace::bench::corpora32();
    const Corpus latency = latency_corpus();
    const std::vector<Corpus> corpora64 = ::hexrace::bench::corpora64();
    const Lines lines = bulk_lines();
    if (!verify(corpora32, latency, corpora64, lines)) {
        return 1;
    }
    register_all(corpora32, latency, corpora64, lines);

    // Defaults first, so that flags on the command line override them: enough repetitions for
    // compare.py's U test, in a random order, so that a slow moment of the machine falls on
    // different benchmarks in each.
    std::vector<char*> args{argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=9", "--benchmark_min_time=0.05",
                              "--benchmark_enable_random_interleaving=true",
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
