// The sizes of the symbols in `nm -DS` output, read from standard input:
//   nm -DS /usr/lib/x86_64-linux-gnu/libstdc++.so.6 | nm_sizes
// The trap: a line without a size ("0000000000000000 A CXXABI_1.3") has its type letter where the
// size would be, and A, B, C, D, E and F are hex digits. Count the fields first, then parse each
// one whole: a field is a number only when parse_hex takes every byte of it.
#include <hexrace/parse.h>

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// The field as a number, or false where it is not one from its first byte to its last.
bool whole_number(const std::string& field, std::uint64_t& value) {
    const char* const last = field.data() + field.size();
    const auto [end, ec] = hexrace::parse_hex(field.data(), last, value);
    return ec == std::errc{} && end == last;
}

int main() {
    std::uint64_t total = 0;
    std::uint64_t largest = 0;
    std::string largest_name;
    std::size_t sized = 0;
    std::size_t unsized = 0;
    std::string line;
    for (std::size_t number = 1; std::getline(std::cin, line); ++number) {
        std::istringstream fields(line);
        std::vector<std::string> field;
        for (std::string word; fields >> word;) {
            field.push_back(word);
        }
        // "address size type name", or "address type name", or "type name" (undefined).
        std::uint64_t address = 0;
        std::uint64_t size = 0;
        if (field.size() == 4 && whole_number(field[0], address) && whole_number(field[1], size)) {
            ++sized;
            total += size;
            if (size > largest) {
                largest = size;
                largest_name = field[3];
            }
        } else if (field.size() == 3 || field.size() == 2) {
            ++unsized;
        } else if (!field.empty()) {
            std::cerr << "line " << number << ": not nm -DS output: " << line << '\n';
            return 1;
        }
    }
    std::cout << sized << " symbols with a size, " << total << " bytes in all; " << unsized
              << " without one\n";
    if (sized != 0) {
        std::cout << "largest: " << largest_name << ", " << largest << " bytes\n";
    }
    return 0;
}
