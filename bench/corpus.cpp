#include "corpus.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <numeric>
#include <random>
#include <type_traits>

namespace hexrace::bench {
namespace {

constexpr char kDigits[] = "0123456789abcdefABCDEF";
constexpr std::size_t kTexts = 4096;

// Digits of either case, random.
std::string random_digits(std::mt19937& rng, std::size_t count) {
    std::uniform_int_distribution<int> digit(0, 21);
    std::string text(count, '0');
    for (char& c : text) {
        c = kDigits[digit(rng)];
    }
    return text;
}

template <typename Unsigned>
Unsigned reference_value(const char* first, const char* last) {
    Unsigned value = 0;
    std::from_chars(first, last, value, 16);
    return value;
}

template <typename Named>
bool verify_on(const Named& contestant, const std::vector<Corpus>& corpora) {
    for (const Corpus& corpus : corpora) {
        for (const Text& text : corpus.texts) {
            const auto got = contestant.convert(text.data(), text.length);
            const auto want = reference_value<std::remove_const_t<decltype(got)>>(
                text.data(), text.data() + text.length);
            if (got != want) {
                std::fprintf(stderr,
                             "%s gives 0x%llX for \"%s\" (%s inputs); std::from_chars gives "
                             "0x%llX. Nothing was timed.\n",
                             contestant.name, static_cast<unsigned long long>(got), text.data(),
                             corpus.name.c_str(), static_cast<unsigned long long>(want));
                return false;
            }
        }
    }
    return true;
}

bool verify_bulk(const BulkContestant& contestant, const Lines& lines) {
    std::vector<std::uint64_t> out(lines.values.size());
    const std::size_t count = contestant.parse(
        lines.text.data(), lines.text.data() + lines.text.size(), out.data(), out.size());
    if (count != lines.values.size() || out != lines.values) {
        std::fprintf(stderr,
                     "%s parses %zu of the %zu lines, or not to their values. Nothing was "
                     "timed.\n",
                     contestant.name, count, lines.values.size());
        return false;
    }
    return true;
}

}  // namespace

Text::Text(std::string_view text) : length(text.size()) {
    text.copy(bytes.data(), bytes.size() - 1);
}

Corpus fixed_corpus() {
    return {"C0000000", {Text("C0000000")}};
}

Corpus length_corpus(std::size_t length) {
    return {"len" + std::to_string(length),
            {Text(std::string_view("1a2B3c4D5e6F7a8B").substr(0, length))}};
}

Corpus mixed_corpus(std::size_t max_digits) {
    std::mt19937 rng(max_digits == 8 ? 0x5eed : 0x5eed16);
    std::uniform_int_distribution<std::size_t> length(1, max_digits);
    Corpus corpus{max_digits == 8 ? "mixed" : "mixed" + std::to_string(max_digits), {}};
    corpus.texts.reserve(kTexts);
    for (std::size_t i = 0; i < kTexts; ++i) {
        corpus.texts.emplace_back(random_digits(rng, length(rng)));
    }
    return corpus;
}

Corpus latency_corpus() {
    std::mt19937 rng(0x1a7e);
    std::vector<std::size_t> order(kTexts);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), rng);
    std::vector<std::uint32_t> next(kTexts);
    for (std::size_t i = 0; i < kTexts; ++i) {
        next[order[i]] = static_cast<std::uint32_t>(order[(i + 1) % kTexts]);
    }
    Corpus corpus{"latency", {}};
    corpus.texts.reserve(kTexts);
    for (std::size_t i = 0; i < kTexts; ++i) {
        const std::uint32_t value = static_cast<std::uint32_t>(rng()) << 12 | next[i];
        char text[9];
        std::snprintf(text, sizeof text, rng() % 2 == 0 ? "%08x" : "%08X", value);
        corpus.texts.emplace_back(text);
    }
    return corpus;
}

std::vector<Corpus> corpora32() {
    std::vector<Corpus> corpora{fixed_corpus()};
    for (std::size_t length = 1; length <= 8; ++length) {
        corpora.push_back(length_corpus(length));
    }
    corpora.push_back(mixed_corpus(8));
    return corpora;
}

std::vector<Corpus> corpora64() {
    std::vector<Corpus> corpora;
    for (std::size_t length = 1; length <= 16; ++length) {
        corpora.push_back(length_corpus(length));
    }
    corpora.push_back(mixed_corpus(16));
    return corpora;
}

Lines bulk_lines() {
    std::mt19937 rng(0xb01c);
    std::uniform_int_distribution<std::size_t> length(1, 16);
    Lines lines;
    for (;;) {
        const std::string digits = random_digits(rng, length(rng));
        if (lines.text.size() + digits.size() + 1 > std::size_t{1} << 20) {
            return lines;
        }
        lines.text += digits;
        lines.text += '\n';
        lines.values.push_back(
            reference_value<std::uint64_t>(digits.data(), digits.data() + digits.size()));
    }
}

bool verify(const std::vector<Corpus>& corpora32, const Corpus& latency,
            const std::vector<Corpus>& corpora64, const Lines& lines) {
    std::vector<Corpus> all32 = corpora32;
    all32.push_back(latency);
    for (const Contestant& contestant : contestants) {
        if (!verify_on(contestant, all32)) {
            return false;
        }
    }
    for (const Contestant64& contestant : contestants64) {
        if (!verify_on(contestant, corpora64)) {
            return false;
        }
    }
    for (const BulkContestant& contestant : all_bulk_contestants()) {
        if (!verify_bulk(contestant, lines)) {
            return false;
        }
    }
    return true;
}

}  // namespace hexrace::bench
