#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "guarded_page.h"

namespace hexrace::testing {

GuardedPage::GuardedPage() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    size_ = info.dwPageSize;
    void* pages = VirtualAlloc(nullptr, 3 * size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old = 0;
    if (pages == nullptr) {
        std::abort();
    }
    base_ = static_cast<char*>(pages);
    end_ = base_ + 2 * size_;
    if (VirtualProtect(base_, size_, PAGE_NOACCESS, &old) == 0 ||
        VirtualProtect(end_, size_, PAGE_NOACCESS, &old) == 0) {
        std::abort();
    }
}

GuardedPage::~GuardedPage() {
    VirtualFree(base_, 0, MEM_RELEASE);
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
