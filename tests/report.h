// What the race prints: one line per contestant in this order, then the prompt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hex_converters.h"

namespace hexrace::testing {

inline const std::vector<std::string> kReportLabels = [] {
    std::vector<std::string> labels;
    for (const RaceRow& row : kRace) {
        labels.emplace_back(row.label);
    }
    return labels;
}();

inline const std::string kPrompt = "Press any key to continue ...";

// True when `output` is, byte for byte, a number (decimal, no leading zeros, at most ten digits)
// before each label in order, then the prompt, then `tail`. No number is 0: ten million calls take
// more than a millisecond on any machine, so a 0 means the span missed the calls.
inline bool is_report(std::string_view output, std::string_view tail = "") {
    for (const std::string& label : kReportLabels) {
        std::size_t digits = 0;
        while (digits < output.size() && output[digits] >= '0' && output[digits] <= '9') {
            ++digits;
        }
        if (digits == 0 || digits > 10 || output[0] == '0' ||
            !output.substr(digits).starts_with(label)) {
            return false;
        }
        output.remove_prefix(digits + label.size());
    }
    return output == kPrompt + std::string(tail);
}

}  // namespace hexrace::testing
