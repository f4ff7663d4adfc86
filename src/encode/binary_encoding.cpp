// Base64 and hex encoding. Both write through a pointer into memory sized
// once for the whole text. Base64 leaves long runs to the bulk encoder where
// the processor has one, and looks up each 12 bits of a 3-byte group in a
// table of unit pairs, so a group costs two loads and two 4-byte stores; hex
// looks up each byte in a table of 256 pairs.
#include "encode/binary_encoding.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "encode/base64_blocks.h"

namespace qxsoap {
namespace {

using UnitPair = std::array<char16_t, 2>;

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// The two base64 units of every 12-bit value, high six bits first.
constexpr std::array<UnitPair, 4096> kBase64Pairs = [] {
  std::array<UnitPair, 4096> pairs{};
  for (size_t bits = 0; bits < pairs.size(); ++bits) {
    pairs[bits] = {char16_t(kBase64Alphabet[bits >> 6]), char16_t(kBase64Alphabet[bits & 63])};
  }
  return pairs;
}();

// The two hex digits of every byte, high nibble first.
constexpr std::array<UnitPair, 256> kHexPairs = [] {
  std::array<UnitPair, 256> pairs{};
  for (size_t byte = 0; byte < pairs.size(); ++byte) {
    pairs[byte] = {char16_t(kHexDigits[byte >> 4]), char16_t(kHexDigits[byte & 15])};
  }
  return pairs;
}();

void PutPair(const UnitPair& pair, char16_t* out) { std::memcpy(out, pair.data(), sizeof pair); }

// Grows `text` by `units` and returns where the new units start.
char16_t* GrowBy(std::u16string& text, size_t units) {
  size_t old = text.size();
  text.resize(old + units);
  return text.data() + old;
}

}  // namespace

size_t Base64Length(size_t byteCount) { return 4 * (byteCount / 3 + (byteCount % 3 != 0)); }

void WriteBase64(std::span<const BYTE> bytes, char16_t* out) {
  const size_t groups = bytes.size() / 3;
  const size_t rest = bytes.size() % 3;
  const BYTE* in = bytes.data();
  EncodeBase64Blocks(in, in + bytes.size(), out);
  for (const BYTE* end = bytes.data() + 3 * groups; in != end; in += 3, out += 4) {
    uint32_t bits = uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
    PutPair(kBase64Pairs[bits >> 12], out);
    PutPair(kBase64Pairs[bits & 0xFFF], out + 2);
  }
  if (rest == 0) return;
  // The missing bytes count as zero bits; '=' stands for each one.
  uint32_t bits = uint32_t(in[0]) << 16 | (rest == 2 ? uint32_t(in[1]) << 8 : 0);
  PutPair(kBase64Pairs[bits >> 12], out);
  out[2] = rest == 2 ? char16_t(kBase64Alphabet[(bits >> 6) & 63]) : u'=';
  out[3] = u'=';
}

void AppendBase64(std::span<const BYTE> bytes, std::u16string& text) {
  WriteBase64(bytes, GrowBy(text, Base64Length(bytes.size())));
}

size_t HexLength(size_t byteCount) { return 2 * byteCount; }

void WriteHex(std::span<const BYTE> bytes, char16_t* out) {
  for (BYTE byte : bytes) {
    PutPair(kHexPairs[byte], out);
    out += 2;
  }
}

void AppendHex(std::span<const BYTE> bytes, std::u16string& text) {
  WriteHex(bytes, GrowBy(text, HexLength(bytes.size())));
}

}  // namespace qxsoap
