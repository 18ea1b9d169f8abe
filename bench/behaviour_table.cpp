// hexrace_behaviour: prints, as a Markdown table, what each contestant returns for inputs outside
// the common contract of one to eight hexadecimal digits, headed by the width of unsigned long it
// holds for.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "contestants.h"
#include "corpus.h"

namespace {

struct Input {
    const char* shown;  // Markdown for the input column
    const char* text;
};

constexpr Input kInputs[] = {
    {"empty text", ""},
    {"nine digits `123456789`", "123456789"},
    {"prefix `0x1F`", "0x1F"},
    {"leading space `\u2420` `12`", " 12"},
    {"`g`", "g"},
    {"`zz`", "zz"},
    {"byte 0x80", "\x80"},
    {"byte 0xFF after `1`", "1\xFF"},
};

}  // namespace

int main() {
    using namespace hexrace::bench;
    // What strtoul and std::stoul do past 32 bits depends on the width of unsigned long.
    std::printf("Where `unsigned long` has %zu bits:\n\n", 8 * sizeof(unsigned long));
    std::string header = "| input |";
    std::string rule = "|---|";
    std::vector<const Contestant*> shown;
    for (const Contestant& c : contestants()) {
        // The kernels of one parser behave alike, as its tests show: its row stands for them.
        if (c.convert != nullptr && c.name.find('[') == std::string::npos) {
            shown.push_back(&c);
            header += " `" + c.name + "` |";
            rule += "---|";
        }
    }
    std::printf("%s\n%s\n", header.c_str(), rule.c_str());
    std::string notes;
    for (const Input& input : kInputs) {
        const Text text(input.text);
        std::printf("| %s |", input.shown);
        for (const Contestant* c : shown) {
            std::printf(" 0x%X |", static_cast<unsigned>(c->convert(text.data(), text.length)));
        }
        std::printf("\n");
        std::uint32_t value = 0;
        const auto [end, error] =
            std::from_chars(text.data(), text.data() + text.length, value, 16);
        if (error != std::errc{}) {
            notes += std::string("- ") + input.shown + ": `std::from_chars` reports " +
                     (error == std::errc::result_out_of_range ? "out of range" : "no digits") +
                     " (shown as 0).\n";
        } else if (end != text.data() + text.length) {
            notes += std::string("- ") + input.shown + ": `std::from_chars` stops after " +
                     std::to_string(end - text.data()) + " of " + std::to_string(text.length) +
                     " bytes.\n";
        }
    }
    std::printf("\n%s", notes.c_str());
    std::printf(
        "- `parse_hex` gives what `std::from_chars` gives on every input; those two, "
        "`std::sscanf`, `std::stoul`, `std::istringstream` and `absl::SimpleHexAtoi` report an "
        "error where they show 0 for a text that is not \"0\".\n");
    return 0;
}
