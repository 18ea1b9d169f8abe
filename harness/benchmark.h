// The race: every contestant timed in turn, one report line each, then the closing prompt.
#pragma once

#include <cstdint>

namespace hexrace {

inline constexpr std::uint32_t kCallsPerContestant = 10'000'000;

// Lets the system settle before each timing and after the last.
inline constexpr std::uint32_t kSettleMs = 500;

// Raises the priority, times each contestant over kCallsPerContestant calls and prints
// "<elapsed ms><label>" for it, in list order, then restores the priority.
void run_benchmarks();

// The whole program: the race, the prompt, the key wait, a line end, exit code 0.
[[noreturn]] void program_main();

}  // namespace hexrace
