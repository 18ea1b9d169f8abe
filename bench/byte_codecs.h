// Hex text to bytes and back: decode_hex, decode_hex_spaced and encode_hex on each path, and the
// calls a user would make instead, for the suite's decode, decode_spaced, digest and encode
// workloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hexrace/bytes.h"

namespace hexrace::bench {

// Text to bytes as decode_hex does it: count the bytes written, ec set where it did not take the
// whole text. Peers report only success or failure.
using Decoder = HexListResult(const char* first, const char* last, std::uint8_t* out,
                              std::size_t capacity);
// Bytes to text, lower case where the call lets one choose; returns the end of the text.
using Encoder = char*(const std::uint8_t* first, const std::uint8_t* last, char* out,
                      HexCase letters);

struct ByteCodec {
    std::string name;  // its decode's, and its other calls' where these are empty
    std::string spaced_name = {};
    std::string encode_name = {};
    bool validates = true;  // rejects a text that is not pairs of digits
    Decoder* decode = nullptr;
    Decoder* decode_spaced = nullptr;  // white space between pairs
    Encoder* encode = nullptr;
    bool upper = false;  // encodes in upper case whatever it is asked
};

// decode_hex and its paths first, then the peers this build found.
const std::vector<ByteCodec>& byte_codecs();

// The inputs, the same on every run: 512 KiB of random bytes; their text in lower case, 1 MiB,
// and in "xxd -p" layout (60 digits a line); 4,096 digests of 64 digits. Each text is followed by
// a NUL, outside it, for the peers that read up to one.
struct ByteInputs {
    std::vector<std::uint8_t> bytes;
    std::string text;
    std::string spaced;
    std::vector<std::string> digests;
    std::vector<std::vector<std::uint8_t>> digest_bytes;
};
const ByteInputs& byte_inputs();

// Checks every codec on every input it takes against the bytes and their text; on the first
// mismatch writes a message naming the codec and the workload to standard error and returns
// false.
bool verify_codecs();

// The peers built in files of their own, where the build found their libraries.
HexListResult absl_decode(const char* first, const char* last, std::uint8_t* out,
                          std::size_t capacity);
char* absl_encode(const std::uint8_t* first, const std::uint8_t* last, char* out, HexCase);
HexListResult boost_decode(const char* first, const char* last, std::uint8_t* out,
                           std::size_t capacity);
char* boost_encode(const std::uint8_t* first, const std::uint8_t* last, char* out, HexCase);
HexListResult openssl_decode(const char* first, const char* last, std::uint8_t* out,
                             std::size_t capacity);
char* openssl_encode(const std::uint8_t* first, const std::uint8_t* last, char* out, HexCase);

}  // namespace hexrace::bench
