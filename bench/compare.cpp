// hexrace_compare: the race's converters against the calls a user would make instead, the
// validated parser among them, with Google Benchmark: on the race's input, on each length, on
// mixed corpora, one conversion waiting for the one before, the user's own texts (--corpus FILE),
// and buffers of many numbers in bulk. Every result is checked against std::from_chars first.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "byte_codecs.h"
#include "contestants.h"
#include "corpus.h"

// Google Benchmark's own choice of console options from its flags (colour, tabular counters),
// which its library exports though its header does not declare it.
namespace benchmark::internal {
ConsoleReporter::OutputOptions GetOutputOptions(bool force_no_color);
}  // namespace benchmark::internal

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

// Hex text to bytes, the whole text per iteration, in bytes of text per second.
void time_decode(benchmark::State& state, const std::string* text, Decoder* decode) {
    // Room for the text itself, which the memcpy row copies.
    std::vector<std::uint8_t> out(text->size());
    const char* const first = text->data();
    const char* const last = first + text->size();
    for (auto _ : state) {
        benchmark::DoNotOptimize(decode(first, last, out.data(), out.size()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text->size()));
}

// One digest of 64 digits to 32 bytes per iteration: Google Benchmark's time is a digest's.
void time_digests(benchmark::State& state, const std::vector<std::string>* digests,
                  Decoder* decode) {
    std::uint8_t out[32];
    const std::size_t last = digests->size() - 1;
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& text = (*digests)[next];
        next = (next + 1) & last;
        benchmark::DoNotOptimize(decode(text.data(), text.data() + text.size(), out, sizeof out));
        benchmark::ClobberMemory();
    }
}

// Bytes to text, all of them per iteration, in bytes of text written per second.
void time_encode(benchmark::State& state, const std::vector<std::uint8_t>* bytes, Encoder* encode) {
    std::string text(2 * bytes->size() + 1, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            encode(bytes->data(), bytes->data() + bytes->size(), text.data(), HexCase::lower));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * bytes->size()));
}

// The label says which kind of contestant a row is, in the JSON and on the console.
const char* kind_of(const Contestant& c) {
    return c.validates ? "validated" : "unvalidated";
}

// The workloads in the order they were added, for the summary, and the rows of 64-bit values in
// workloads of both widths.
std::vector<std::string> workloads;
std::set<std::string> wide_rows;

bool known(const std::string& workload) {
    return std::find(workloads.begin(), workloads.end(), workload) != workloads.end();
}

template <typename Timing, typename Input, typename Call>
void add(const std::string& workload, const std::string& name, const char* kind, Timing timing,
         const Input* input, Call call) {
    if (!known(workload)) {
        workloads.push_back(workload);
    }
    benchmark::RegisterBenchmark((workload + "/" + name).c_str(),
                                 [=](benchmark::State& state) {
                                     state.SetLabel(kind);
                                     timing(state, input, call);
                                 })
        // The best of the repetitions: the least time, and for a buffer the highest rate.
        ->ComputeStatistics(
            "min",
            [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) {
            return *std::max_element(v.begin(), v.end());
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
                wide_rows.insert(c.name64);
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

// Hex text to bytes and back: every codec on the workloads it takes.
void add_bytes() {
    const ByteInputs& in = byte_inputs();
    for (const ByteCodec& c : byte_codecs()) {
        // memcpy of as many bytes is the limit, not a trick.
        const char* kind = c.name == "memcpy" ? "limit" : c.validates ? "validated" : "unvalidated";
        if (c.decode != nullptr) {
            add("decode", c.name, kind, time_decode, &in.text, c.decode);
            if (c.name != "memcpy") {
                add("digest", c.name, kind, time_digests, &in.digests, c.decode);
            }
        }
        if (c.decode_spaced != nullptr) {
            add("decode_spaced", c.spaced_name.empty() ? c.name : c.spaced_name, kind, time_decode,
                &in.spaced, c.decode_spaced);
        }
        if (c.encode != nullptr) {
            add("encode", c.encode_name.empty() ? c.name : c.encode_name, kind, time_encode,
                &in.bytes, c.encode);
        }
    }
}

// Numbers as people write them: "0x"-prefixed texts of mixed lengths, and 32 digits into 128
// bits, each row checked against std::from_chars first.
bool add_written(const Corpus* prefixed, const Corpus* wide) {
    const std::pair<const Corpus*, const std::vector<NamedConverter64>*> workloads[] = {
        {prefixed, &prefixed_converters()}, {wide, &wide_converters()}};
    for (const auto& [corpus, converters] : workloads) {
        for (const NamedConverter64& c : *converters) {
            for (const Text& text : corpus->texts) {
                const char* digits = text.data() + (corpus == prefixed ? 2 : 0);
                const char* const end = text.data() + text.length;
                std::uint64_t want = 0;
                std::uint64_t low = 0;
                const char* const middle = end - std::min<std::size_t>(16, end - digits);
                std::from_chars(digits, middle, want, 16);
                std::from_chars(middle, end, low, 16);
                want ^= low;
                if (c.convert(text.data(), text.length) != want) {
                    std::fprintf(stderr,
                                 "%s gives the wrong value for \"%s\". Nothing was timed.\n",
                                 c.name, text.data());
                    return false;
                }
            }
            add(corpus->name, c.name, c.validates ? "validated" : "unvalidated",
                time_calls<Converter64>, corpus, c.convert);
        }
        add(corpus->name, kFloor, "floor", time_calls<Converter64>, corpus, call_nothing64);
    }
    return true;
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
    if (!verify(narrow ? copy : std::vector<Corpus>{}, copy, {}, digits)) {
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
// contestants sorted by the best of their repetitions, the validated ones first and the tricks
// after them, each time also as a ratio to std::from_chars's of the same width, both taken above
// the floor of the loop and the call; and a warning under a table whose repetitions spread.
class SortedSummary : public benchmark::ConsoleReporter {
public:
    explicit SortedSummary(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            const auto rate = run.counters.find("bytes_per_second");
            const bool is_rate = rate != run.counters.end();
            const bool single = run.run_type != Run::RT_Aggregate && run.repetitions <= 1;
            const bool best = run.run_type == Run::RT_Aggregate &&
                              run.aggregate_name == (is_rate ? "max" : "min");
            if (single || best) {
                rows_[name].kind = run.report_label;
                rows_[name].figure = is_rate ? rate->second.value / 1e9 : run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "cv") {
                rows_[name].spread = run.real_accumulated_time;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        std::printf(
            "\nSorted by the best of the repetitions: validated parsers, then unvalidated tricks "
            "for scale. A \"time / from_chars\" column divides a row's time by std::from_chars's "
            "of the same width, each above the floor of the loop and the call: below 1 is "
            "faster.\n");
        for (const std::string& workload : workloads) {
            print(workload);
        }
        ConsoleReporter::Finalize();
    }

private:
    // Repetitions that spread more than this (their coefficient of variation) mean a busy
    // machine, whose ratios may be off.
    static constexpr double kSpread = 0.10;

    struct Row {
        std::string kind;
        double figure = 0;  // ns, or GB/s for a buffer
        double spread = 0;
    };

    void print(const std::string& workload) {
        const std::string prefix = workload + "/";
        const bool rate = workload.starts_with("bulk") || workload == "words" ||
                          workload.starts_with("decode") || workload == "encode";
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
        // std::from_chars's row of a row's width ("std::from_chars u64" for the 64-bit rows), or
        // where a workload has one width, its one std::from_chars row.
        const auto reference = [&](const std::string& name) -> const Row* {
            auto row = rows_.find(
                prefix + (wide_rows.contains(name) ? "std::from_chars u64" : "std::from_chars"));
            if (row == rows_.end()) {
                row = std::find_if(rows_.begin(), rows_.end(), [&](const auto& other) {
                    return other.first.starts_with(prefix + "std::from_chars");
                });
            }
            const bool usable = row != rows_.end() && floor != rows_.end() &&
                                row->second.figure > floor->second.figure;
            return usable ? &row->second : nullptr;
        };
        const bool ratios = !rate && std::any_of(found.begin(), found.end(), [&](const auto& row) {
            return reference(row.first) != nullptr;
        });
        std::printf("\n%-40s %10s%s\n", workload.c_str(), rate ? "GB/s" : "ns",
                    ratios ? "   time / from_chars" : "");
        std::string kind = "validated";
        std::size_t spread = 0;
        for (const auto& [name, row] : found) {
            if (row.kind != kind) {
                kind = row.kind;
                std::printf("  (%s)\n", kind.c_str());
            }
            std::printf("  %-38s %10.2f", name.c_str(), row.figure);
            if (const Row* from_chars = ratios ? reference(name) : nullptr) {
                std::printf("   %5.2f", (row.figure - floor->second.figure) /
                                            (from_chars->figure - floor->second.figure));
            }
            std::printf("\n");
            spread += row.spread > kSpread ? 1 : 0;
        }
        if (spread != 0) {
            std::printf(
                "  !! %zu of these rows spread more than %.0f %% over their repetitions: the "
                "machine was busy, and these figures and ratios may be off. Run again on "
                "a quiet machine.\n",
                spread, 100 * kSpread);
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

// Takes "--corpus FILE" or "--corpus=FILE" out of the arguments into `path` ("" where there is
// none); false, with a message, where the flag has no file.
bool take_corpus_flag(std::vector<char*>& args, std::string& path) {
    for (auto arg = args.begin(); arg != args.end();) {
        const std::string_view flag = *arg;
        if (flag == "--corpus" || flag.starts_with("--corpus=")) {
            const bool separate = flag == "--corpus";
            // A flag after it is no file: "--corpus --benchmark_filter=x" forgot the name.
            const bool named =
                arg + 1 != args.end() && !std::string_view(*(arg + 1)).starts_with("--");
            path = !separate ? std::string(flag.substr(9)) : named ? *(arg + 1) : "";
            if (path.empty()) {
                std::fprintf(stderr, "hexrace_compare: --corpus needs a file: --corpus FILE\n");
                return false;
            }
            arg = args.erase(arg, arg + (separate ? 2 : 1));
        } else {
            ++arg;
        }
    }
    return true;
}

// The suite's own flags, before Google Benchmark's help, which follows.
void print_help() {
    std::printf(
        "hexrace_compare: hexadecimal parsing, the race's tricks among the calls people use.\n"
        "\n"
        "  --corpus FILE   also time your own texts: one hexadecimal number a line (LF or CRLF,\n"
        "                  at most %zu MiB and %zu lines), as workload \"corpus\"\n"
        "\n"
        "Google Benchmark's flags, such as --benchmark_filter=REGEX (\"^decode\" for one\n"
        "workload), --benchmark_repetitions=N and --benchmark_format=json, also apply:\n\n",
        kCorpusBytes >> 20, kCorpusLines);
}

}  // namespace
}  // namespace hexrace::bench

int main(int argc, char** argv) {
    using namespace hexrace::bench;
    std::vector<char*> args(argv, argv + argc);
    std::string corpus_path;
    if (!take_corpus_flag(args, corpus_path)) {
        return 1;
    }
    if (std::any_of(args.begin(), args.end(), [](const char* arg) {
            return std::string_view(arg) == "--help" || std::string_view(arg) == "-h";
        })) {
        print_help();
        int count = static_cast<int>(args.size());
        benchmark::Initialize(&count, args.data());  // prints its help and exits
    }

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
    const Corpus prefixed = prefixed_corpus();
    const Corpus wide = wide_corpus();
    if (!add_written(&prefixed, &wide) || !verify_codecs()) {
        return 1;
    }
    add_bytes();

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
        // Colours as Google Benchmark chooses them for its own console table: its
        // --benchmark_color flag, and whether the output is a terminal.
        SortedSummary summary(benchmark::internal::GetOutputOptions(false));
        benchmark::RunSpecifiedBenchmarks(&summary);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}
