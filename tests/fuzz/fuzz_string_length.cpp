// libFuzzer target for string_length: it must agree with strlen, on a text at any of the four
// alignments, in storage that ends exactly where its slack ends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "console.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t offset = data[0] % 4;
    const auto* bytes = reinterpret_cast<const char*>(data + 1);
    const std::size_t available = size - 1;
    const std::size_t length = std::find(bytes, bytes + available, '\0') - bytes;
    // The slack bytes behind the terminator take whatever the input holds there.
    const std::size_t storage = offset + length + 1 + hexrace::kTextSlack;
    const std::unique_ptr<char[]> buffer(new char[storage]);
    std::memset(buffer.get(), 0x7F, storage);
    std::memcpy(buffer.get() + offset, bytes,
                available < storage - offset ? available : storage - offset);
    char* text = buffer.get() + offset;
    text[length] = '\0';
    if (hexrace::string_length(text) != std::strlen(text)) {
        std::abort();
    }
    return 0;
}
