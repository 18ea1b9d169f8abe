// `xxd -r -p` as a filter: hex text with white space anywhere between pairs (xxd -p, od -An -v
// -tx1, "de ad be ef") on standard input, the bytes on standard output. A byte that is no digit,
// a space inside a pair or a lone last digit stops it with the offset of that byte.
#include <hexrace/bytes.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

int main() {
    const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
    std::vector<std::uint8_t> bytes(text.size() / 2);
    const hexrace::HexListResult result = hexrace::decode_hex_spaced(
        text.data(), text.data() + text.size(), bytes.data(), bytes.size());
    std::fwrite(bytes.data(), 1, result.count, stdout);
    if (result.ec != std::errc{}) {
        std::cerr << "unxxd: byte " << result.ptr - text.data()
                  << " is no hex digit, or breaks a pair; " << result.count << " bytes written\n";
        return 1;
    }
    return 0;
}
