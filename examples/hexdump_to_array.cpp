// A hexdump's bytes as a C array, for embedding: words of one or two digits between any white
// space (`od -An -v -tx1`, "de ad be ef"), read from standard input:
//   od -An -v -tx1 logo.png | hexdump_to_array logo
// The words go straight into an array of bytes: each must fit one, so "100" stops it, and so do
// the 60-digit lines of `xxd -p` (examples/unxxd.cpp reads those). od without -v writes a "*" for
// repeated lines, which stops it too.
#include <hexrace/parse.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
    std::vector<unsigned char> bytes(text.size() / 2 + 1);
    const hexrace::HexListResult result = hexrace::parse_hex_words(
        text.data(), text.data() + text.size(), bytes.data(), bytes.size());
    if (result.ec != std::errc{}) {
        std::cerr << "byte " << result.ptr - text.data() << ": "
                  << (result.ec == std::errc::result_out_of_range ? "a word too large for a byte"
                                                                  : "no hexadecimal word")
                  << '\n';
        return 1;
    }
    if (result.count == 0) {  // C has no array of no elements
        std::cerr << "no bytes to write\n";
        return 1;
    }
    std::printf("const unsigned char %s[%zu] = {", argc > 1 ? argv[1] : "data", result.count);
    for (std::size_t i = 0; i < result.count; ++i) {
        std::printf("%s0x%02x", i % 12 == 0 ? "\n    " : " ", bytes[i]);
        std::printf(i + 1 < result.count ? "," : "\n");
    }
    std::printf("};\n");
    return 0;
}
