#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "guarded_page.h"

namespace hexrace::testing {

GuardedPage::GuardedPage() : size_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))) {
    void* pages =
        mmap(nullptr, 3 * size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) {
        std::abort();
    }
    base_ = static_cast<char*>(pages);
    end_ = base_ + 2 * size_;
    if (mprotect(base_, size_, PROT_NONE) != 0 || mprotect(end_, size_, PROT_NONE) != 0) {
        std::abort();
    }
}

GuardedPage::~GuardedPage() {
    munmap(base_, 3 * size_);
}

char* GuardedPage::place_at_end(const char* bytes, std::size_t count) const {
    char* start = end_ - count;
    std::memcpy(start, bytes, count);
    return start;
}

char* GuardedPage::place_at_start(const char* bytes, std::size_t count) const {
    std::memcpy(begin(), bytes, count);
    return begin();
}

}  // namespace hexrace::testing
