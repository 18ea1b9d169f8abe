// Every 32-bit value, written as eight upper-case and as eight lower-case digits, through every
// converter: each must give the value back. Minutes of work, so only built on request
// (HEXRACE_EXHAUSTIVE), and spread over all cores. Then the parser past the 4 GiB mark, where a
// 32-bit count or offset would wrap, on every list path (about 5 GiB of memory).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "converter_test_support.h"
#include "hexrace/parse.h"
#include "paths.h"

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

// Lines of sixteen digits (value 1) to past 4 GiB, with one fault put after the mark: each list
// path must stop at it, its count past 2^28 and its offset past 2^32.
TEST(Past4GiB, ListsStopAtTheFaultOnEveryPath) {
    constexpr std::size_t kLine = 17;
    constexpr std::size_t kLines = (std::size_t{1} << 32) / kLine + 4096;
    constexpr std::size_t kSize = kLines * kLine;
    constexpr std::size_t kFaultLine = kLines - 100;  // after the 4 GiB mark
    static_assert(kFaultLine * kLine > std::size_t{1} << 32);
    const std::unique_ptr<char[]> text(new char[kSize]);
    std::memcpy(text.get(), "0000000000000001\n", kLine);
    for (std::size_t done = kLine; done < kSize; done *= 2) {
        std::memcpy(text.get() + done, text.get(), std::min(done, kSize - done));
    }
    const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[kLines]);
    char* const fault = text.get() + kFaultLine * kLine;
    const struct {
        const char* name;
        const char* line;  // the fault's line
        std::size_t at;    // where in it the list stops
        std::size_t capacity;
        std::errc ec;
    } cases[] = {
        {"a bad byte", "00000000000001g1\n", 14, kLines, std::errc::invalid_argument},
        {"a value too wide", "0000000000000100\n", 0, kLines, std::errc::result_out_of_range},
        {"no room", "0000000000000001\n", 0, kFaultLine, std::errc::no_buffer_space},
    };
    for (const auto& c : cases) {
        std::memcpy(fault, c.line, kLine);
        for (const parse_detail::ListPath& path : parse_detail::list_paths()) {
            if (!path.runs_here()) {
                continue;
            }
            const HexListResult result =
                path.functions->get<std::uint8_t>(parse_detail::Format::kLines)(
                    text.get(), text.get() + kSize, '\n',
                    parse_detail::Sink<std::uint8_t>{out.get()}, c.capacity, Prefix::none);
            EXPECT_EQ(result.ec, c.ec) << c.name << ", " << path.name;
            EXPECT_EQ(result.count, kFaultLine) << c.name << ", " << path.name;
            EXPECT_EQ(static_cast<std::size_t>(result.ptr - text.get()), kFaultLine * kLine + c.at)
                << c.name << ", " << path.name;
            EXPECT_EQ(out[kFaultLine - 1], 1) << c.name << ", " << path.name;
        }
        std::memcpy(fault, "0000000000000001\n", kLine);
    }
}

// More than 2^32 leading zeros before two digits: one value, whichever way it is parsed.
TEST(Past4GiB, LeadingZerosPastTheMarkLeaveTheValue) {
    constexpr std::size_t kSize = (std::size_t{1} << 32) + 4099;
    const std::unique_ptr<char[]> text(new char[kSize]);
    std::memset(text.get(), '0', kSize);
    std::memcpy(text.get() + kSize - 3, "1f\n", 3);
    const char* const last = text.get() + kSize;
    std::uint32_t value = 0;
    const auto single = parse_hex(text.get(), last, value);
    EXPECT_EQ(single.ec, std::errc{});
    EXPECT_EQ(single.ptr, last - 1);
    EXPECT_EQ(value, 0x1Fu);
    for (const parse_detail::ListPath& path : parse_detail::list_paths()) {
        if (!path.runs_here()) {
            continue;
        }
        for (const auto format : {parse_detail::Format::kLines, parse_detail::Format::kWords}) {
            std::uint8_t byte = 0;
            const HexListResult result = path.functions->get<std::uint8_t>(format)(
                text.get(), last, '\n', parse_detail::Sink<std::uint8_t>{&byte}, 1, Prefix::none);
            EXPECT_TRUE(result.ec == std::errc{} && result.count == 1 && result.ptr == last &&
                        byte == 0x1F)
                << path.name << ", format " << static_cast<int>(format);
        }
    }
}

}  // namespace
}  // namespace hexrace::testing
