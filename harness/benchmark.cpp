#include "benchmark.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

#include "console.h"
#include "hex_converters.h"
#include "platform.h"

namespace hexrace {
namespace {

// Room for the longest label and string_length's slack.
constexpr std::size_t kLabelBytes = 20;

struct Contestant {
    char label[kLabelBytes];  // printed right after the elapsed milliseconds
    char input[9];            // the contestant's own copy of the text it converts
    HexConverter* converter;
};

// A row of the race (kRace), with its label and its input in storage of its own.
constexpr Contestant contestant_for(const RaceRow& row) {
    Contestant contestant{{}, "C0000000", row.converter};
    for (std::size_t i = 0; row.label[i] != '\0' && i + 1 < kLabelBytes; ++i) {
        contestant.label[i] = row.label[i];
    }
    return contestant;
}

// The rows of kRace, in the order of the report.
template <std::size_t... Row>
constexpr std::array<Contestant, sizeof...(Row)> contestants_for(std::index_sequence<Row...>) {
    return {contestant_for(kRace[Row])...};
}

constexpr auto contestants = contestants_for(std::make_index_sequence<std::size(kRace)>{});

// Every label copied whole, with string_length's slack behind it.
static_assert([] {
    for (std::size_t row = 0; row < std::size(kRace); ++row) {
        const char* const label = kRace[row].label;
        std::size_t i = 0;
        for (; label[i] != '\0'; ++i) {
            if (contestants[row].label[i] != label[i]) {
                return false;
            }
        }
        if (contestants[row].label[i] != '\0' || !has_slack(contestants[row].label)) {
            return false;
        }
    }
    return true;
}());

// One result area per row: format_decimal's text plus string_length's slack.
char result_areas[std::size(contestants)][kDecimalBytes + kTextSlack];

constexpr PaddedText prompt{"Press any key to continue ..."};
constexpr PaddedText line_end{"\r\n"};

// Instantiated once per converter: each loop is a direct call and the count-down, nothing else.
// The converters are compiled apart and kept out of line, so no call is inlined, merged or dropped.
template <HexConverter* Convert>
std::uint32_t time_calls(const char* input) {
    const std::uint32_t start = platform::tick_count();
    for (std::uint32_t calls_left = kCallsPerContestant; calls_left != 0; --calls_left) {
        Convert(input);
    }
    // Unsigned subtraction keeps the count right across a wrap of the tick counter.
    return platform::tick_count() - start;
}

template <std::size_t Row>
void run_contestant() {
    platform::pause_ms(kSettleMs);
    const std::uint32_t elapsed = time_calls<contestants[Row].converter>(contestants[Row].input);
    format_decimal(elapsed, result_areas[Row]);
    print_string(result_areas[Row]);
    print_string(contestants[Row].label);
}

template <std::size_t... Row>
void run_contestants(std::index_sequence<Row...>) {
    (run_contestant<Row>(), ...);
}

}  // namespace

void run_benchmarks() {
    platform::raise_priority();
    run_contestants(std::make_index_sequence<std::size(contestants)>{});
    platform::pause_ms(kSettleMs);
    platform::restore_priority();
}

void program_main() {
    platform::mute_console_input();
    run_benchmarks();
    print_string(prompt.bytes);
    wait_for_key();
    print_string(line_end.bytes);
    platform::exit_process(0);
}

}  // namespace hexrace
