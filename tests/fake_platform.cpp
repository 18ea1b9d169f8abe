#include "fake_platform.h"

#include <string>
#include <utility>

#include "platform.h"

namespace hexrace {
namespace {

fake::Script script;
fake::Record log;

void note(std::string call) {
    log.calls.push_back(std::move(call));
}

}  // namespace

void fake::start(Script s) {
    script = std::move(s);
    log = {};
}

const fake::Record& fake::record() {
    return log;
}

void platform::raise_priority() {
    note("raise_priority");
}
void platform::restore_priority() {
    note("restore_priority");
}
void platform::pause_ms(std::uint32_t ms) {
    note("pause " + std::to_string(ms));
}
void platform::poll_sleep_ms(std::uint32_t ms) {
    note("poll_sleep " + std::to_string(ms));
}

std::uint32_t platform::tick_count() {
    note("tick");
    if (script.ticks.empty()) {
        return 0;
    }
    const std::uint32_t tick = script.ticks.front();
    script.ticks.pop_front();
    return tick;
}

std::uint32_t platform::write_stdout(const char* bytes, std::uint32_t count) {
    const std::string text(bytes, count);
    note("write " + text);
    log.output += text;
    return count;
}

void platform::mute_console_input() {
    note("mute_console_input");
}

void platform::discard_pending_input() {
    note("discard_pending_input");
}

bool platform::key_waiting() {
    note("key_waiting");
    return script.polls_before_key-- <= 0;
}

int platform::read_key() {
    note("read_key");
    return script.key;
}

void platform::exit_process(int code) {
    note("exit " + std::to_string(code));
    throw fake::ProcessExit{code};
}

}  // namespace hexrace
