#include "corpus.h"

#include <charconv>
#include <cstdio>
#include <random>

namespace hexrace::bench {

Text::Text(std::string_view text) : length(text.size()) {
    text.copy(bytes.data(), bytes.size() - 1);
}

Corpus fixed_corpus() {
    return {"C0000000", {Text("C0000000")}};
}

Corpus length_corpus(std::size_t length) {
    return {"len" + std::to_string(length), {Text(std::string_view("1a2B3c4D").substr(0, length))}};
}

Corpus mixed_corpus() {
    static constexpr char kDigits[] = "0123456789abcdefABCDEF";
    std::mt19937 rng(0x5eed);
    std::uniform_int_distribution<int> length(1, 8);
    std::uniform_int_distribution<int> digit(0, 21);
    Corpus corpus{"mixed", {}};
    corpus.texts.reserve(4096);
    for (int i = 0; i < 4096; ++i) {
        std::string text(static_cast<std::size_t>(length(rng)), '0');
        for (char& c : text) {
            c = kDigits[digit(rng)];
        }
        corpus.texts.emplace_back(text);
    }
    return corpus;
}

std::vector<Corpus> all_corpora() {
    std::vector<Corpus> corpora{fixed_corpus()};
    for (std::size_t length = 1; length <= 8; ++length) {
        corpora.push_back(length_corpus(length));
    }
    corpora.push_back(mixed_corpus());
    return corpora;
}

std::uint32_t reference_value(const Text& text) {
    std::uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.length, value, 16);
    return value;
}

bool verify(const std::vector<Corpus>& corpora) {
    for (const Contestant& contestant : contestants) {
        for (const Corpus& corpus : corpora) {
            for (const Text& text : corpus.texts) {
                const std::uint32_t got = contestant.convert(text.data(), text.length);
                const std::uint32_t want = reference_value(text);
                if (got != want) {
                    std::fprintf(stderr,
                                 "%s gives 0x%X for \"%s\" (%s inputs); std::from_chars gives "
                                 "0x%X. Nothing was timed.\n",
                                 contestant.name, static_cast<unsigned>(got), text.data(),
                                 corpus.name.c_str(), static_cast<unsigned>(want));
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace hexrace::bench
