// The Abseil contestants, built where find_package(absl) finds it.
#include <absl/strings/numbers.h>
#include <absl/strings/string_view.h>

#include "separate_calls.h"

namespace hexrace::bench {

std::uint32_t call_absl(const char* text, std::size_t length) {
    std::uint32_t value = 0;
    return absl::SimpleHexAtoi(absl::string_view(text, length), &value) ? value : 0;
}

std::uint64_t call_absl64(const char* text, std::size_t length) {
    std::uint64_t value = 0;
    return absl::SimpleHexAtoi(absl::string_view(text, length), &value) ? value : 0;
}

}  // namespace hexrace::bench
