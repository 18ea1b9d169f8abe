#include "byte_codecs.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "hex_converters.h"
#include "paths.h"

namespace hexrace::bench {
namespace {

HexListResult done(const char* last, std::size_t count) {
    return {last, std::errc{}, count};
}

HexListResult failed(const char* at, std::size_t count) {
    return {at, std::errc::invalid_argument, count};
}

// The library's entries are called as they are, one real call each, like the peers' wrappers.
Decoder* const kDecodeHex = decode_hex;
Decoder* const kDecodeHexSpaced = decode_hex_spaced;
Encoder* const kEncodeHex = encode_hex;

// The loop a user writes with the standard library: std::from_chars on each pair, which must take
// both digits.
HEXRACE_NOINLINE HexListResult from_chars_pairs(const char* first, const char* last,
                                                std::uint8_t* out, std::size_t capacity) {
    std::size_t count = 0;
    for (const char* p = first; p != last; p += 2, ++count) {
        if (last - p < 2 || count == capacity ||
            std::from_chars(p, p + 2, out[count], 16).ptr != p + 2) {
            return failed(p, count);
        }
    }
    return done(last, count);
}

constexpr bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The same, skipping white space before each pair.
HEXRACE_NOINLINE HexListResult from_chars_spaced(const char* first, const char* last,
                                                 std::uint8_t* out, std::size_t capacity) {
    std::size_t count = 0;
    for (const char* p = first;; p += 2, ++count) {
        while (p != last && is_space(*p)) {
            ++p;
        }
        if (p == last) {
            return done(last, count);
        }
        if (last - p < 2 || count == capacity ||
            std::from_chars(p, p + 2, out[count], 16).ptr != p + 2) {
            return failed(p, count);
        }
    }
}

// std::sscanf with "%2hhx" on each pair, copied into a text of its own: on the whole buffer,
// glibc's sscanf measures the rest of it at every call. It takes a sign, "0x" and white space.
HEXRACE_NOINLINE HexListResult sscanf_pairs(const char* first, const char* last, std::uint8_t* out,
                                            std::size_t capacity) {
    std::size_t count = 0;
    for (const char* p = first; p != last; p += 2, ++count) {
        const char pair[3] = {p[0], last - p < 2 ? '\0' : p[1], '\0'};
        unsigned char byte = 0;
        if (last - p < 2 || count == capacity || std::sscanf(pair, "%2hhx", &byte) != 1) {
            return failed(p, count);
        }
        out[count] = byte;
    }
    return done(last, count);
}

// std::snprintf with "%02x" for each byte; it writes a NUL after each pair, which the next pair
// overwrites, and one after the last, for which the caller leaves room.
HEXRACE_NOINLINE char* snprintf_pairs(const std::uint8_t* first, const std::uint8_t* last,
                                      char* out, HexCase) {
    for (; first != last; ++first, out += 2) {
        std::snprintf(out, 3, "%02x", *first);
    }
    return out;
}

// std::to_chars in base 16 for each byte, with the leading zero it leaves out.
HEXRACE_NOINLINE char* to_chars_pairs(const std::uint8_t* first, const std::uint8_t* last,
                                      char* out, HexCase) {
    for (; first != last; ++first, out += 2) {
        out[0] = '0';
        std::to_chars(out + (*first < 16), out + 2, *first, 16);
    }
    return out;
}

// memcpy of the text: the limit of any call that reads and writes it once. `out` has room for
// the whole text.
HEXRACE_NOINLINE HexListResult copy_text(const char* first, const char* last, std::uint8_t* out,
                                         std::size_t) {
    std::memcpy(out, first, static_cast<std::size_t>(last - first));
    return done(last, static_cast<std::size_t>(last - first) / 2);
}

HEXRACE_NOINLINE char* copy_bytes(const std::uint8_t* first, const std::uint8_t* last, char* out,
                                  HexCase) {
    // As many bytes as the encoders write: twice the input, read from the input and after it.
    const auto size = static_cast<std::size_t>(last - first);
    std::memcpy(out, first, size);
    std::memcpy(out + size, first, size);
    return out + 2 * size;
}

std::vector<ByteCodec> make_codecs() {
    std::vector<ByteCodec> all;
    all.push_back({.name = "decode_hex",
                   .spaced_name = "decode_hex_spaced",
                   .encode_name = "encode_hex",
                   .decode = kDecodeHex,
                   .decode_spaced = kDecodeHexSpaced,
                   .encode = kEncodeHex});
    // Each path this CPU can take, called as the public functions call it once they have chosen.
    for (const parse_detail::ListPath& path : parse_detail::list_paths()) {
        if (path.runs_here()) {
            const std::string tag = std::string(" [") + path.name + "]";
            all.push_back({.name = "decode_hex" + tag,
                           .spaced_name = "decode_hex_spaced" + tag,
                           .encode_name = "encode_hex" + tag,
                           .decode = path.bytes->decode,
                           .decode_spaced = path.bytes->decode_spaced,
                           .encode = path.bytes->encode});
        }
    }
    all.push_back({.name = "memcpy",
                   .validates = false,
                   .decode = copy_text,
                   .decode_spaced = copy_text,
                   .encode = copy_bytes});
    all.push_back({.name = "std::from_chars loop",
                   .spaced_name = "white space + std::from_chars loop",
                   .encode_name = "std::to_chars loop",
                   .decode = from_chars_pairs,
                   .decode_spaced = from_chars_spaced,
                   .encode = to_chars_pairs});
    all.push_back({.name = "sscanf %2hhx loop",
                   .encode_name = "snprintf %02x loop",
                   .validates = false,
                   .decode = sscanf_pairs,
                   .encode = snprintf_pairs});
#if HEXRACE_HAVE_ABSL
    all.push_back({.name = "absl::HexStringToBytes",
                   .encode_name = "absl::BytesToHexString",
                   .validates = false,
                   .decode = absl_decode,
                   .encode = absl_encode});
#endif
#if HEXRACE_HAVE_BOOST
    all.push_back({.name = "boost::algorithm::unhex",
                   .encode_name = "boost::algorithm::hex_lower",
                   .decode = boost_decode,
                   .encode = boost_encode});
#endif
#if HEXRACE_HAVE_OPENSSL
    all.push_back({.name = "OPENSSL_hexstr2buf_ex",
                   .encode_name = "OPENSSL_buf2hexstr_ex",
                   .decode = openssl_decode,
                   .encode = openssl_encode,
                   .upper = true});
#endif
    return all;
}

ByteInputs make_inputs() {
    std::mt19937 rng(0xb17e5);
    ByteInputs inputs;
    inputs.bytes.resize(512 * 1024);
    for (std::uint8_t& byte : inputs.bytes) {
        byte = static_cast<std::uint8_t>(rng());
    }
    inputs.text.resize(2 * inputs.bytes.size());
    encode_hex(inputs.bytes.data(), inputs.bytes.data() + inputs.bytes.size(), inputs.text.data());
    for (std::size_t i = 0; i < inputs.text.size(); i += 60) {
        inputs.spaced.append(inputs.text, i, 60);
        inputs.spaced += '\n';
    }
    for (int i = 0; i < 4096; ++i) {
        std::vector<std::uint8_t> digest(32);
        for (std::uint8_t& byte : digest) {
            byte = static_cast<std::uint8_t>(rng());
        }
        std::string text(64, '\0');
        encode_hex(digest.data(), digest.data() + 32, text.data());
        inputs.digests.push_back(std::move(text));
        inputs.digest_bytes.push_back(std::move(digest));
    }
    return inputs;
}

bool check_decode(const ByteCodec& codec, Decoder* decode, const char* workload,
                  const std::string& text, const std::vector<std::uint8_t>& want) {
    std::vector<std::uint8_t> got(want.size() + 1, 0x5A);
    const HexListResult result =
        decode(text.data(), text.data() + text.size(), got.data(), want.size());
    got.pop_back();
    if (result.ec != std::errc{} || result.count != want.size() || got != want) {
        std::fprintf(stderr, "%s does not decode the %s text to its bytes. Nothing was timed.\n",
                     codec.name.c_str(), workload);
        return false;
    }
    return true;
}

}  // namespace

const ByteInputs& byte_inputs() {
    static const ByteInputs inputs = make_inputs();
    return inputs;
}

bool verify_codecs() {
    const ByteInputs& in = byte_inputs();
    for (const ByteCodec& codec : byte_codecs()) {
        if (codec.name == "memcpy") {
            continue;
        }
        if ((codec.decode != nullptr &&
             (!check_decode(codec, codec.decode, "decode", in.text, in.bytes) ||
              !check_decode(codec, codec.decode, "digest", in.digests[0], in.digest_bytes[0]))) ||
            (codec.decode_spaced != nullptr &&
             !check_decode(codec, codec.decode_spaced, "decode_spaced", in.spaced, in.bytes))) {
            return false;
        }
        if (codec.encode != nullptr) {
            std::string text(in.text.size() + 1, '\0');
            codec.encode(in.bytes.data(), in.bytes.data() + in.bytes.size(), text.data(),
                         HexCase::lower);
            text.pop_back();
            std::string want = in.text;
            if (codec.upper) {
                for (char& c : want) {
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                }
            }
            if (text != want) {
                std::fprintf(stderr,
                             "%s does not encode the bytes as their text. Nothing was "
                             "timed.\n",
                             codec.name.c_str());
                return false;
            }
        }
    }
    return true;
}

const std::vector<ByteCodec>& byte_codecs() {
    static const std::vector<ByteCodec> all = make_codecs();
    return all;
}

}  // namespace hexrace::bench
