// Win32 backend: priority classes, the system tick count, the standard handles and the C
// runtime's console key functions.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <conio.h>

#include <cstdint>

#include "platform.h"

namespace hexrace::platform {
namespace {

HANDLE standard_input() {
    return GetStdHandle(STD_INPUT_HANDLE);
}

bool is_console(HANDLE input) {
    DWORD mode = 0;
    return GetConsoleMode(input, &mode) != 0;
}

bool is_usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// Bytes waiting in a pipe; false when the pipe cannot say: its writer is gone, or it cannot be
// examined at all (Wine answers error 50 for a Unix pipe, so there pending input stays).
bool pipe_bytes_waiting(HANDLE pipe, DWORD& count) {
    return PeekNamedPipe(pipe, nullptr, 0, nullptr, &count, nullptr) != 0;
}

// Redirected input: drop what is pending now and no more, so a writer that never stops cannot
// hold the program here.
void discard_redirected_input(HANDLE input) {
    switch (GetFileType(input)) {
        case FILE_TYPE_DISK:
            SetFilePointer(input, 0, nullptr, FILE_END);
            break;
        case FILE_TYPE_PIPE: {
            DWORD pending = 0;
            if (!pipe_bytes_waiting(input, pending)) {
                break;
            }
            char sink[512];
            while (pending > 0) {
                DWORD read = 0;
                const DWORD want = pending < sizeof sink ? pending : DWORD{sizeof sink};
                if (ReadFile(input, sink, want, &read, nullptr) == 0 || read == 0) {
                    break;
                }
                pending -= read;
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

void raise_priority() {
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

void restore_priority() {
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

void pause_ms(std::uint32_t milliseconds) {
    SleepEx(milliseconds, FALSE);
}

void poll_sleep_ms(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

std::uint32_t tick_count() {
    return GetTickCount();
}

std::uint32_t write_stdout(const char* bytes, std::uint32_t count) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, count, &written, nullptr);
    return written;
}

// A Windows console shows no key that nobody reads: nothing to keep quiet.
void mute_console_input() {}

void discard_pending_input() {
    const HANDLE input = standard_input();
    if (is_console(input)) {
        FlushConsoleInputBuffer(input);
    } else if (is_usable(input)) {
        discard_redirected_input(input);
    }
}

bool key_waiting() {
    const HANDLE input = standard_input();
    if (is_console(input)) {
        return _kbhit() != 0;
    }
    if (is_usable(input) && GetFileType(input) == FILE_TYPE_PIPE) {
        DWORD count = 0;
        if (pipe_bytes_waiting(input, count)) {
            return count > 0;
        }
        // At the end of input read_key returns at once; where the pipe cannot be examined, its
        // blocking read of one byte is the wait: the next byte or the end of input ends it.
        return true;
    }
    // A file or device never blocks: a byte or the end of input is there. No input ends the wait.
    return true;
}

int read_key() {
    const HANDLE input = standard_input();
    if (is_console(input)) {
        const int key = _getch();
        // Arrows and function keys arrive as 0 or 0xE0 and then their code: take both.
        if (key == 0 || key == 0xE0) {
            _getch();
        }
        return key;
    }
    unsigned char byte = 0;
    DWORD read = 0;
    if (is_usable(input) && ReadFile(input, &byte, 1, &read, nullptr) != 0 && read == 1) {
        return byte;
    }
    return -1;
}

void exit_process(int code) {
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace hexrace::platform
