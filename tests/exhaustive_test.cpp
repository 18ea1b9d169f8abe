// Every 32-bit value, written as eight upper-case and as eight lower-case digits, through every
// converter: each must give the value back. Minutes of work, so only built on request
// (HEXRACE_EXHAUSTIVE), and spread over all cores.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include "converter_test_support.h"

namespace hexrace::testing {
namespace {

// Eight digits of `value` in `digits`' case, then the terminator.
void write_hex(std::uint32_t value, const char* digits, char* text) {
    for (int i = 7; i >= 0; --i, value >>= 4) {
        text[i] = digits[value & 0xF];
    }
    text[8] = '\0';
}

TEST(Exhaustive, EveryValueInEitherCaseComesBackFromEveryConverter) {
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::uint64_t> failures = 0;
    std::atomic<std::uint32_t> failed_value = 0;
    std::atomic<const char*> failed_converter = nullptr;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (unsigned w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            char upper[16] = {};
            char lower[16] = {};
            for (std::uint64_t v = w; v <= 0xFFFFFFFF; v += workers) {
                const auto value = static_cast<std::uint32_t>(v);
                write_hex(value, "0123456789ABCDEF", upper);
                write_hex(value, "0123456789abcdef", lower);
                for (const NamedConverter& converter : kRaceConverters) {
                    if (converter.convert(upper) != value || converter.convert(lower) != value) {
                        if (failures++ == 0) {
                            failed_value = value;
                            failed_converter = converter.name;
                        }
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    std::printf("2^32 values x 2 cases x %zu converters on %u threads: %.0f s\n",
                std::size(kRaceConverters), workers, seconds.count());
    EXPECT_EQ(failures, 0u) << failed_converter.load() << " fails on 0x" << std::hex
                            << failed_value.load();
}

}  // namespace
}  // namespace hexrace::testing
