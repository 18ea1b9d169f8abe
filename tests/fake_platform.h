// A scripted stand-in for the OS, so the harness's road through a run can be checked call by call.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace hexrace::fake {

// Thrown by exit_process, so a test can watch program_main end.
struct ProcessExit {
    int code;
};

struct Script {
    std::deque<std::uint32_t> ticks;  // tick_count answers, in order; 0 once used up
    int polls_before_key = 0;         // key_waiting answers false this often first
    int key = 'k';                    // what read_key returns
};

// Every call the harness made, one line each, e.g. "pause 500" or "write 0 atodw...".
struct Record {
    std::vector<std::string> calls;
    std::string output;  // all bytes written to standard output
};

void start(Script script);
const Record& record();

}  // namespace hexrace::fake
