// A readable page between two unreadable ones, so a read past either end crashes the test.
#pragma once

#include <cstddef>

namespace hexrace::testing {

class GuardedPage {
public:
    GuardedPage();
    ~GuardedPage();
    GuardedPage(const GuardedPage&) = delete;
    GuardedPage& operator=(const GuardedPage&) = delete;

    // The first unreadable byte after the page; the `size()` bytes before it are readable and
    // writable, and the byte before them is not.
    char* end() const { return end_; }
    char* begin() const { return end_ - size_; }
    std::size_t size() const { return size_; }

    // Copies `bytes` so that its last byte is the last readable one; returns the copy.
    char* place_at_end(const char* bytes, std::size_t count) const;
    // Copies `bytes` so that its first byte is the first readable one; returns the copy.
    char* place_at_start(const char* bytes, std::size_t count) const;

private:
    char* base_ = nullptr;
    char* end_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace hexrace::testing
