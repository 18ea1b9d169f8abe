#include "corpus.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <numeric>
#include <random>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>

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

template <typename Convert>
bool verify_on(const char* name, Convert* convert, const std::vector<Corpus>& corpora) {
    for (const Corpus& corpus : corpora) {
        for (const Text& text : corpus.texts) {
            const auto got = convert(text.data(), text.length);
            const auto want = reference_value<std::remove_const_t<decltype(got)>>(
                text.data(), text.data() + text.length);
            if (got != want) {
                std::fprintf(stderr,
                             "%s gives 0x%llX for \"%s\" (%s inputs); std::from_chars gives "
                             "0x%llX. Nothing was timed.\n",
                             name, static_cast<unsigned long long>(got), text.data(),
                             corpus.name.c_str(), static_cast<unsigned long long>(want));
                return false;
            }
        }
    }
    return true;
}

template <typename Out>
bool verify_bulk(const std::string& name, const BulkParser<Out>& parse, const Numbers& numbers) {
    std::vector<Out> out(numbers.values.size() + 1);
    const std::size_t count = parse(numbers.text.data(), numbers.text.data() + numbers.text.size(),
                                    out.data(), out.size());
    const bool same = count == numbers.values.size() &&
                      std::equal(numbers.values.begin(), numbers.values.end(), out.begin());
    if (!same) {
        std::fprintf(stderr,
                     "%s parses %zu of the %zu numbers of %s, or not to their values. Nothing was "
                     "timed.\n",
                     name.c_str(), count, numbers.values.size(), numbers.name.c_str());
    }
    return same;
}

// Random lines of `min` to `max` digits, each ended by `end`, to about 1 MiB.
Numbers random_lines(const char* name, Buffer kind, std::uint32_t seed, std::size_t max,
                     const char* end) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::size_t> length(1, max);
    Numbers numbers{name, kind, {}, {}};
    for (;;) {
        const std::string digits = random_digits(rng, length(rng));
        if (numbers.text.size() + digits.size() + std::strlen(end) > std::size_t{1} << 20) {
            return numbers;
        }
        numbers.text += digits;
        numbers.text += end;
        numbers.values.push_back(
            reference_value<std::uint64_t>(digits.data(), digits.data() + digits.size()));
    }
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

Corpus prefixed_corpus() {
    std::mt19937 rng(0x0f1c);
    std::uniform_int_distribution<std::size_t> length(1, 16);
    Corpus corpus{"prefixed", {}};
    corpus.texts.reserve(kTexts);
    for (std::size_t i = 0; i < kTexts; ++i) {
        corpus.texts.emplace_back((rng() % 2 == 0 ? "0x" : "0X") + random_digits(rng, length(rng)));
    }
    return corpus;
}

Corpus wide_corpus() {
    return {"len32", {Text("1a2B3c4D5e6F7a8B9c0DaEbFc1d2E3f4")}};
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

Numbers bulk_buffer() {
    return random_lines("bulk", kBulk, 0xb01c, 16, "\n");
}

std::vector<Numbers> buffers() {
    std::vector<Numbers> all{bulk_buffer(),
                             random_lines("bulk_crlf", kBulkCrlf, 0xb01c, 16, "\r\n"),
                             random_lines("bulk32", kBulk32, 0xb032, 8, "\n")};
    // A hexdump without offsets: two-digit words, sixteen a line.
    std::mt19937 rng(0xd0d0);
    Numbers words{"words", kWords, {}, {}};
    while (words.text.size() + 3 <= std::size_t{1} << 20) {
        const std::string digits = random_digits(rng, 2);
        words.text += digits;
        words.values.push_back(
            reference_value<std::uint64_t>(digits.data(), digits.data() + digits.size()));
        words.text += words.values.size() % 16 == 0 ? '\n' : ' ';
    }
    all.push_back(std::move(words));
    return all;
}

// A line as an error message shows it: printable ASCII as it is, every other byte as \xNN, and
// no more than 40 bytes of it.
std::string shown_line(std::string_view line) {
    std::string shown;
    for (const char c : line.substr(0, 40)) {
        if (c >= ' ' && c <= '~' && c != '\\' && c != '"') {
            shown += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            shown += escaped;
        }
    }
    return line.size() > 40 ? shown + "..." : shown;
}

bool read_corpus(const std::string& path, Corpus& corpus, std::string& error) {
    std::error_code why_not;
    if (std::filesystem::is_directory(path, why_not)) {
        error = path + ": is a directory, not a file of lines";
        return false;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               std::fclose);
    if (!file) {
        error = path + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    // At most kCorpusBytes and one byte more, to tell a file that is larger.
    std::string text;
    try {
        char chunk[1 << 16];
        while (text.size() <= kCorpusBytes) {
            const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
            text.append(chunk, got);
            if (got < sizeof chunk) {
                break;
            }
        }
        if (std::ferror(file.get())) {
            error = path + ": cannot be read: " + std::strerror(errno);
            return false;
        }
        if (text.size() > kCorpusBytes) {
            error = path + ": larger than " + std::to_string(kCorpusBytes >> 20) +
                    " MiB, the most the suite reads; time a part of it";
            return false;
        }
        corpus = {"corpus", {}};
        std::size_t number = 1;
        for (std::size_t start = 0; start < text.size(); ++number) {
            const std::size_t newline = text.find('\n', start);
            const std::size_t end = newline == std::string::npos ? text.size() : newline;
            std::string_view line(text.data() + start, end - start);
            start = end + 1;
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            if (line.empty() && text.find_first_not_of("\r\n", start) == std::string::npos) {
                break;  // blank lines at the end, as a list of lines may have
            }
            std::uint64_t value = 0;
            const auto [last, ec] =
                std::from_chars(line.data(), line.data() + line.size(), value, 16);
            const char* why = ec == std::errc::result_out_of_range ? "more than 64 bits"
                              : ec != std::errc{} || last != line.data() + line.size()
                                  ? "no hexadecimal number alone (digits 0-9, a-f, A-F, nothing "
                                    "else)"
                              : line.size() >= kSlotBytes
                                  ? "longer than the suite's texts (47 bytes)"
                                  : nullptr;
            if (why != nullptr) {
                error = path + ":" + std::to_string(number) + ": \"" + shown_line(line) + "\" is " +
                        why;
                return false;
            }
            if (corpus.texts.size() == kCorpusLines) {
                error = path + ": more than " + std::to_string(kCorpusLines) +
                        " lines, the most the suite times; time a part of it";
                return false;
            }
            corpus.texts.emplace_back(line);
        }
        if (corpus.texts.empty()) {
            error = path + ": no lines";
            return false;
        }
        // Round up to a power of two, starting over from the first line.
        for (std::size_t i = 0; (corpus.texts.size() & (corpus.texts.size() - 1)) != 0; ++i) {
            corpus.texts.push_back(corpus.texts[i]);
        }
    } catch (const std::bad_alloc&) {
        error = path + ": not enough memory to hold its lines";
        return false;
    }
    return true;
}

std::size_t longest(const Corpus& corpus) {
    std::size_t most = 0;
    for (const Text& text : corpus.texts) {
        most = std::max(most, text.length);
    }
    return most;
}

bool fits32(const Corpus& corpus) {
    return std::all_of(corpus.texts.begin(), corpus.texts.end(), [](const Text& text) {
        std::uint32_t value = 0;
        return std::from_chars(text.data(), text.data() + text.length, value, 16).ec == std::errc{};
    });
}

bool verify(const std::vector<Corpus>& corpora32, const std::vector<Corpus>& corpora64,
            const std::vector<Numbers>& buffers, std::size_t trick_digits) {
    for (const Contestant& c : contestants()) {
        if (!c.validates && c.max_digits < trick_digits) {
            continue;  // left out of these texts, which are longer than it takes
        }
        if ((c.convert != nullptr && !verify_on(c.name.c_str(), c.convert, corpora32)) ||
            (c.convert64 != nullptr && !verify_on(c.name64.c_str(), c.convert64, corpora64))) {
            return false;
        }
        for (const Numbers& numbers : buffers) {
            if ((c.buffers & numbers.kind) == 0) {
                continue;
            }
            if ((c.bulk64 && !verify_bulk(c.name, c.bulk64, numbers)) ||
                (c.bulk32 && !verify_bulk(c.name, c.bulk32, numbers))) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace hexrace::bench
