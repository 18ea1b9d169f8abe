#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform.h"

namespace hexrace::testing {
namespace {

// Puts `replacement` in place of a standard handle for the life of the object.
class StdHandleSwap {
public:
    StdHandleSwap(DWORD which, HANDLE replacement) : which_(which), saved_(GetStdHandle(which)) {
        SetStdHandle(which_, replacement);
    }
    ~StdHandleSwap() { SetStdHandle(which_, saved_); }
    StdHandleSwap(const StdHandleSwap&) = delete;
    StdHandleSwap& operator=(const StdHandleSwap&) = delete;

private:
    DWORD which_;
    HANDLE saved_;
};

struct Pipe {
    HANDLE read = nullptr, write = nullptr;
    Pipe() { EXPECT_NE(CreatePipe(&read, &write, nullptr, 0), 0); }
    ~Pipe() {
        close_read();
        close_write();
    }
    void close_read() { read = (read != nullptr ? CloseHandle(read), nullptr : nullptr); }
    void close_write() { write = (write != nullptr ? CloseHandle(write), nullptr : nullptr); }
    void put(const std::string& bytes) const {
        DWORD written = 0;
        WriteFile(write, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ASSERT_EQ(written, bytes.size());
    }
};

TEST(TickCount, AdvancesOverAPause) {
    const std::uint32_t t0 = platform::tick_count();
    platform::pause_ms(100);
    const std::uint32_t t1 = platform::tick_count();
    EXPECT_GE(t1 - t0, 100u - 16u);  // the count may move in steps of up to 16 ms
    EXPECT_LT(t1 - t0, 60'000u);
}

TEST(WriteStdout, WritesEveryByteAndReportsTheCount) {
    Pipe out;
    std::uint32_t written = 0;
    {
        StdHandleSwap swap(STD_OUTPUT_HANDLE, out.write);
        written = platform::write_stdout("ab\r\n\0z", 6);
    }
    out.close_write();
    char got[16] = {};
    DWORD read = 0;
    ReadFile(out.read, got, sizeof got, &read, nullptr);
    EXPECT_EQ(written, 6u);
    EXPECT_EQ(std::string(got, read), std::string("ab\r\n\0z", 6));
}

TEST(WriteStdout, ReportsNothingWrittenToAClosedReader) {
    Pipe out;
    out.close_read();
    StdHandleSwap swap(STD_OUTPUT_HANDLE, out.write);
    EXPECT_EQ(platform::write_stdout("lost", 4), 0u);
}

TEST(RedirectedInput, PendingBytesAreDiscardedAndTheNextByteIsTheKey) {
    Pipe in;
    in.put("typed during the run");
    StdHandleSwap swap(STD_INPUT_HANDLE, in.read);
    platform::discard_pending_input();
    EXPECT_FALSE(platform::key_waiting());
    in.put("xy");
    EXPECT_TRUE(platform::key_waiting());
    EXPECT_EQ(platform::read_key(), 'x');
    EXPECT_EQ(platform::read_key(), 'y');
}

TEST(RedirectedInput, EndOfInputOrNoInputEndsTheWaitAtOnce) {
    Pipe ended;
    ended.put("pending");
    ended.close_write();
    const struct {
        const char* name;
        HANDLE input;
    } inputs[] = {{"closed pipe", ended.read}, {"no input", nullptr}};
    for (const auto& input : inputs) {
        StdHandleSwap swap(STD_INPUT_HANDLE, input.input);
        platform::discard_pending_input();
        EXPECT_TRUE(platform::key_waiting()) << input.name;
        EXPECT_EQ(platform::read_key(), -1) << input.name;
    }
}

// One key press and release, written into the console's input buffer as the keyboard would.
void type_key(HANDLE console, char key) {
    INPUT_RECORD events[2] = {};
    for (int i = 0; i < 2; ++i) {
        events[i].EventType = KEY_EVENT;
        KEY_EVENT_RECORD& event = events[i].Event.KeyEvent;
        event.bKeyDown = i == 0;
        event.wRepeatCount = 1;
        event.wVirtualKeyCode = static_cast<WORD>(key - 'a' + 'A');  // VK_A to VK_Z
        event.uChar.AsciiChar = key;
    }
    DWORD written = 0;
    ASSERT_NE(WriteConsoleInputA(console, events, 2, &written), 0);
    ASSERT_EQ(written, 2u);
}

// The console key path: needs a real console on standard input, which Wine gives a program run on
// a terminal (CTest runs this under `script` for that).
TEST(ConsoleInput, KeysBeforeTheDiscardAreDroppedAndTheNextKeyIsRead) {
    const HANDLE console = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(console, &mode) == 0) {
        // Where a console was lent (HEXRACE_CONSOLE_LENT), going without one is a failure.
        ASSERT_EQ(std::getenv("HEXRACE_CONSOLE_LENT"), nullptr) << "standard input is no console";
        GTEST_SKIP() << "standard input is no console";
    }
    type_key(console, 'a');
    type_key(console, 'b');
    ASSERT_TRUE(platform::key_waiting());
    platform::discard_pending_input();
    EXPECT_FALSE(platform::key_waiting());
    type_key(console, 'z');
    EXPECT_TRUE(platform::key_waiting());
    EXPECT_EQ(platform::read_key(), 'z');
    EXPECT_FALSE(platform::key_waiting());
}

}  // namespace
}  // namespace hexrace::testing
