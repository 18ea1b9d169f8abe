#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "benchmark.h"
#include "fake_platform.h"
#include "report.h"

namespace hexrace::testing {
namespace {

// Runs the whole program against `script`; returns the exit code it ended with.
int run_program(fake::Script script) {
    fake::start(std::move(script));
    try {
        program_main();
    } catch (const fake::ProcessExit& exit) {
        return exit.code;
    }
    ADD_FAILURE() << "program_main returned";
    return -1;
}

TEST(ProgramMain, TakesTheRoadOfOneRun) {
    fake::Script script;
    std::vector<std::string> expected = {"mute_console_input", "raise_priority"};
    for (std::size_t i = 0; i < kReportLabels.size(); ++i) {
        const std::uint32_t start = 1000 * static_cast<std::uint32_t>(i);
        const std::uint32_t elapsed = 31 + static_cast<std::uint32_t>(i);
        script.ticks.insert(script.ticks.end(), {start, start + elapsed});
        expected.insert(expected.end(),
                        {"pause 500", "tick", "tick", "write " + std::to_string(elapsed),
                         "write " + kReportLabels[i]});
    }
    expected.insert(expected.end(),
                    {"pause 500", "restore_priority", "write Press any key to continue ...",
                     "discard_pending_input"});
    // The pause comes before every poll, including the first.
    script.polls_before_key = 2;
    for (int poll = 0; poll < 3; ++poll) {
        expected.insert(expected.end(), {"poll_sleep 1", "key_waiting"});
    }
    expected.insert(expected.end(), {"read_key", "write \r\n", "exit 0"});

    EXPECT_EQ(run_program(script), 0);
    EXPECT_EQ(fake::record().calls, expected);
    EXPECT_TRUE(is_report(fake::record().output, "\r\n"));
}

// The end-to-end tests lean on is_report; it must reject what the race must never print.
TEST(IsReport, RejectsAnyDeparture) {
    std::string good, zero;
    for (const std::string& label : kReportLabels) {
        good += "42" + label;
        zero += "0" + label;
    }
    ASSERT_TRUE(is_report(good + kPrompt));
    const std::string bad[] = {
        "",
        good,                                      // no prompt
        good + kPrompt + "\r\n",                   // a line end before the key
        "042" + good.substr(2) + kPrompt,          // leading zero
        zero + kPrompt,                            // spans that held none of the calls
        "12345678901" + good.substr(2) + kPrompt,  // eleven digits
        " 42" + good.substr(2) + kPrompt,          // leading space
        good.substr(2) + kPrompt,                  // no number
        good + good + kPrompt,                     // a line too many
    };
    for (const std::string& output : bad) {
        EXPECT_FALSE(is_report(output)) << output;
    }
}

TEST(RunBenchmarks, ReportsElapsedTicksModulo2To32) {
    const struct {
        std::uint32_t start, end;
        const char* printed;
    } cases[] = {
        {5, 5, "0"},                     // finished within one tick
        {0xFFFFFFF0, 0x0000000A, "26"},  // the counter wrapped between the readings
        {0, 0x7FFFFFFF, "2147483647"},
    };
    for (const auto& c : cases) {
        fake::Script script;
        for (std::size_t i = 0; i < kReportLabels.size(); ++i) {
            script.ticks.insert(script.ticks.end(), {c.start, c.end});
        }
        fake::start(script);
        run_benchmarks();
        std::string expected;
        for (const std::string& label : kReportLabels) {
            expected += c.printed + label;
        }
        EXPECT_EQ(fake::record().output, expected);
    }
}

}  // namespace
}  // namespace hexrace::testing
