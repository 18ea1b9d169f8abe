// The digests of `sha256sum` output as bytes, and back as upper-case text:
//   sha256sum *.txt | digest
// Each line is 64 digits, two spaces (or a space and "*" for binary mode) and the file name: the
// digest is the first 64 bytes, decoded whole; a line whose first 64 bytes are not 64 digits is
// reported.
#include <hexrace/bytes.h>

#include <cstdint>
#include <iostream>
#include <string>

int main() {
    std::string line;
    for (std::size_t number = 1; std::getline(std::cin, line); ++number) {
        std::uint8_t digest[32];
        const auto result =
            line.size() > 66 ? hexrace::decode_hex(line.data(), line.data() + 64, digest, 32)
                             : hexrace::HexListResult{line.data(), std::errc::invalid_argument, 0};
        if (result.ec != std::errc{} || line[64] != ' ') {
            std::cerr << "line " << number << ": no SHA-256 digest and file name\n";
            return 1;
        }
        char text[64];
        hexrace::encode_hex(digest, digest + 32, text, hexrace::HexCase::upper);
        std::cout << line.substr(66) << ": first byte " << int{digest[0]} << ", last byte "
                  << int{digest[31]} << ", " << std::string(text, 64) << '\n';
    }
    return 0;
}
