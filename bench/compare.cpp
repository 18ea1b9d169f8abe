// hexrace_compare: the race's converters against the calls a user would make instead, the
// validated parser among them, with Google Benchmark: on the race's input, on each length, on
// mixed corpora, one conversion waiting for the one before, the user's own texts (--corpus FILE),
// and buffers of many numbers in bulk. Every result is checked against std::from_chars first.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
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
template <typename Out>
void time_bulk(benchmark::State& state, const Numbers* numbers, const BulkParser<Out>* parse) {
    std::vector<Out> out(numbers->values.size());
    const char* const first = numbers->text.data();
    const char* const last = first + numbers->text.size();
    for (auto _ : state) {
        benchmark::DoNotOptimize((*parse)(first, last, out.data(), out.size()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * numbers->text.size()));
}

// The label says which kind of contestant a row is, in the JSON and on the console.
const char* kind_of(const Contestant& c) {
    return c.validates ? "validated" : "unvalidated";
}

// The workloads in the order they were added, for the summary.
std::vector<std::string> workloads;

bool known(const std::string& workload) {
    return std::find(workloads.begin(), workloads.end(), workload) != workloads.end();
}

template <typename Timing, typename Input, typename Call>
void add(const std::string& workload, const std::string& name, const char* kind, Timing timing,
         const Input* input, Call call) {
    if (!known(workload)) {
        workloads.push_back(workload);
    }
    benchmark::RegisterBenchmark((workload + "/" + name).c_str(), [=](benchmark::State& state) {
        state.SetLabel(kind);
        timing(state, input, call);
    });
}

// Every contestant of a width on every corpus of it, and the floor under each corpus once (the
// 32- and 64-bit corpora of one length share a name, a workload and a floor).
void add_texts(std::span<const Corpus> corpora, bool wide, std::size_t trick_digits = 0) {
    for (const Corpus& corpus : corpora) {
        const bool floored = known(corpus.name);
        for (const Contestant& c : contestants()) {
            if (!c.validates && c.max_digits < trick_digits) {
                continue;
            }
            if (wide && c.convert64 != nullptr) {
                add(corpus.name, c.name64, kind_of(c), time_calls<Converter64>, &corpus,
                    c.convert64);
            } else if (!wide && c.convert != nullptr) {
                add(corpus.name, c.name, kind_of(c), time_calls<Converter>, &corpus, c.convert);
            }
        }
        if (!floored) {
            add(corpus.name, kFloor, "floor", time_calls<Converter>, &corpus, call_nothing);
        }
    }
}

void add_all(const std::vector<Corpus>& corpora32, const Corpus& latency,
             const std::vector<Corpus>& corpora64, const std::vector<Numbers>& buffers) {
    add_texts(corpora32, false);
    add_texts(corpora64, true);
    for (const Contestant& c : contestants()) {
        if (c.convert != nullptr) {
            add(latency.name, c.name, kind_of(c), time_chain, &latency, c.convert);
        }
    }
    add(latency.name, kFloor, "floor", time_chain, &latency, call_nothing);
    for (const Numbers& numbers : buffers) {
        for (const Contestant& c : contestants()) {
            if ((c.buffers & numbers.kind) != 0 && c.bulk64) {
                add(numbers.name, c.name, kind_of(c), time_bulk<std::uint64_t>, &numbers,
                    &c.bulk64);
            } else if ((c.buffers & numbers.kind) != 0 && c.bulk32) {
                add(numbers.name, c.name, kind_of(c), time_bulk<std::uint32_t>, &numbers,
                    &c.bulk32);
            }
        }
    }
}

// The user's corpus, for every validated contestant, and every trick whose contract its texts
// meet (a note says which are left out, and why); 32-bit rows where every value fits 32 bits.
bool add_corpus(const std::string& path, Corpus& corpus) {
    std::string error;
    if (!read_corpus(path, corpus, error)) {
        std::fprintf(stderr, "hexrace_compare: %s\n", error.c_str());
        return false;
    }
    const std::size_t digits = longest(corpus);
    const bool narrow = fits32(corpus);
    for (const Contestant& c : contestants()) {
        if (!c.validates && c.max_digits < digits) {
            std::fprintf(stderr,
                         "corpus: %s left out: it converts at most %zu digits, %s has a line of "
                         "%zu\n",
                         c.name.c_str(), c.max_digits, path.c_str(), digits);
        }
    }
    const std::vector<Corpus> copy{corpus};
    if (!verify(narrow ? copy : std::vector<Corpus>{}, copy, {})) {
        return false;
    }
    // The benchmarks keep the address of the caller's corpus, which lives as long as they do.
    const std::span<const Corpus> corpora(&corpus, 1);
    if (narrow) {
        add_texts(corpora, false, digits);
    }
    add_texts(corpora, true, digits);
    return true;
}

// Google Benchmark's rows as they come (in a random order, interleaved), then each workload's
// contestants sorted by their medians, the validated ones first and the tricks after them, each
// time also as a ratio to std::from_chars's, both taken above the floor of the loop and the call.
class SortedSummary : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || run.repetitions <= 1) {
                const std::string name = run.run_name.str();
                const auto rate = run.counters.find("bytes_per_second");
                rows_[name] = {run.report_label, rate != run.counters.end()
                                                     ? rate->second.value / 1e9
                                                     : run.GetAdjustedRealTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        std::printf(
            "\nSorted by median: validated parsers, then unvalidated tricks for scale. The "
            "ratio is to std::from_chars, each above the floor of the loop and the call.\n");
        for (const std::string& workload : workloads) {
            print(workload);
        }
        ConsoleReporter::Finalize();
    }

private:
    struct Row {
        std::string kind;
        double figure;  // ns, or GB/s for a buffer
    };

    void print(const std::string& workload) {
        const std::string prefix = workload + "/";
        const bool rate = workload.starts_with("bulk") || workload == "words";
        std::vector<std::pair<std::string, Row>> found;
        for (const auto& [name, row] : rows_) {
            if (name.starts_with(prefix) && row.kind != "floor") {
                found.emplace_back(name.substr(prefix.size()), row);
            }
        }
        if (found.empty()) {
            return;
        }
        std::sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
            if (a.second.kind != b.second.kind) {
                return a.second.kind == "validated";
            }
            return rate ? a.second.figure > b.second.figure : a.second.figure < b.second.figure;
        });
        const auto floor = rows_.find(prefix + kFloor);
        const auto from_chars = std::find_if(found.begin(), found.end(), [](const auto& row) {
            return row.first.starts_with("std::from_chars");
        });
        const bool ratios = !rate && floor != rows_.end() && from_chars != found.end() &&
                            from_chars->second.figure > floor->second.figure;
        std::printf("\n%-40s %10s%s\n", workload.c_str(), rate ? "GB/s" : "ns",
                    ratios ? "   x std::from_chars" : "");
        std::string kind = "validated";
        for (const auto& [name, row] : found) {
            if (row.kind != kind) {
                kind = row.kind;
                std::printf("  (%s)\n", kind.c_str());
            }
            std::printf("  %-38s %10.2f", name.c_str(), row.figure);
            if (ratios) {
                std::printf("   %5.2f", (row.figure - floor->second.figure) /
                                            (from_chars->second.figure - floor->second.figure));
            }
            std::printf("\n");
        }
    }

    std::map<std::string, Row> rows_;
};

// True where the console shows Google Benchmark's own table, which the summary follows.
bool console_format(const std::vector<char*>& args) {
    return std::none_of(args.begin(), args.end(), [](const char* arg) {
        const std::string_view flag = arg;
        return flag.starts_with("--benchmark_format=") && flag != "--benchmark_format=console";
    });
}

// Takes "--corpus FILE" or "--corpus=FILE" out of the arguments; "" where there is none.
std::string take_corpus_flag(std::vector<char*>& args) {
    std::string path;
    for (auto arg = args.begin(); arg != args.end();) {
        const std::string_view flag = *arg;
        if (flag == "--corpus" && arg + 1 != args.end()) {
            path = *(arg + 1);
            arg = args.erase(arg, arg + 2);
        } else if (flag.starts_with("--corpus=")) {
            path = flag.substr(9);
            arg = args.erase(arg);
        } else {
            ++arg;
        }
    }
    return path;
}

}  // namespace
}  // namespace hexrace::bench

int main(int argc, char** argv) {
    using namespace hexrace::bench;
    std::vector<char*> args(argv, argv + argc);
    const std::string corpus_path = take_corpus_flag(args);

    const std::vector<Corpus> corpora32 = ::hexrace::bench::corpora32();
    const Corpus latency = latency_corpus();
    const std::vector<Corpus> corpora64 = ::hexrace::bench::corpora64();
    const std::vector<Numbers> buffers = ::hexrace::bench::buffers();
    std::vector<Corpus> all32 = corpora32;
    all32.push_back(latency);
    if (!verify(all32, corpora64, buffers)) {
        return 1;
    }
    Corpus corpus;
    if (!corpus_path.empty() && !add_corpus(corpus_path, corpus)) {
        return 1;
    }
    add_all(corpora32, latency, corpora64, buffers);

    // Defaults first, so that flags on the command line override them: enough repetitions for
    // compare.py's U test, in a random order, so that a slow moment of the machine falls on
    // different benchmarks in each.
    std::string defaults[] = {"--benchmark_repetitions=9", "--benchmark_min_time=0.05",
                              "--benchmark_enable_random_interleaving=true",
                              "--benchmark_display_aggregates_only=true"};
    std::vector<char*> flags{args[0]};
    for (std::string& flag : defaults) {
        flags.push_back(flag.data());
    }
    flags.insert(flags.end(), args.begin() + 1, args.end());
    int count = static_cast<int>(flags.size());
    benchmark::Initialize(&count, flags.data());
    if (benchmark::ReportUnrecognizedArguments(count, flags.data())) {
        return 1;
    }
    if (console_format(flags)) {
        SortedSummary summary;
        benchmark::RunSpecifiedBenchmarks(&summary);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}
