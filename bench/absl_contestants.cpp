// The Abseil contestants, built where find_package(absl) finds it.
#include <absl/strings/escaping.h>
#include <absl/strings/numbers.h>
#include <absl/strings/string_view.h>

#include <cstring>
#include <string>
#include <system_error>

#include "byte_codecs.h"
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

// absl::HexStringToBytes makes a std::string of the bytes, copied out; it takes any byte, and
// says nothing of an odd number of digits.
HEXRACE_NOINLINE HexListResult absl_decode(const char* first, const char* last, std::uint8_t* out,
                                           std::size_t capacity) {
    const std::string bytes =
        absl::HexStringToBytes(absl::string_view(first, static_cast<std::size_t>(last - first)));
    const std::size_t count = bytes.size() < capacity ? bytes.size() : capacity;
    std::memcpy(out, bytes.data(), count);
    return {last, std::errc{}, count};
}

HEXRACE_NOINLINE char* absl_encode(const std::uint8_t* first, const std::uint8_t* last, char* out,
                                   HexCase) {
    const std::string text = absl::BytesToHexString(absl::string_view(
        reinterpret_cast<const char*>(first), static_cast<std::size_t>(last - first)));
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace hexrace::bench
