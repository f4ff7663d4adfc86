// Base64 and hex encoding, once for either width of unit. Both write
// through a pointer into memory sized once for the whole text. Base64
// leaves long runs to the bulk encoder where the processor has one, and
// looks up each 12 bits of a 3-byte group in a table of unit pairs, so a
// group costs two loads and two stores; hex looks up each byte in a table
// of 256 pairs.
#include "encode/binary_encoding.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "encode/base64_blocks.h"

namespace qxsoap {
namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

template <typename Unit>
using UnitPair = std::array<Unit, 2>;

// The two units of every value of `Bits` bits, the high half first, each
// half a character of `alphabet`: base64's 12-bit pairs, hex's bytes.
template <typename Unit, size_t Bits>
constexpr std::array<UnitPair<Unit>, size_t(1) << Bits> MakePairs(std::string_view alphabet) {
  std::array<UnitPair<Unit>, size_t(1) << Bits> pairs{};
  constexpr size_t kHalf = Bits / 2;
  for (size_t bits = 0; bits < pairs.size(); ++bits) {
    pairs[bits] = {Unit(alphabet[bits >> kHalf]), Unit(alphabet[bits & ((1 << kHalf) - 1)])};
  }
  return pairs;
}

template <typename Unit>
constexpr auto kBase64Pairs = MakePairs<Unit, 12>(kBase64Alphabet);
template <typename Unit>
constexpr auto kHexPairs = MakePairs<Unit, 8>(kHexDigits);

template <typename Unit>
void PutPair(const UnitPair<Unit>& pair, Unit* out) {
  std::memcpy(out, pair.data(), sizeof pair);
}

template <typename Unit>
void Base64Into(std::span<const BYTE> bytes, Unit* out) {
  const size_t groups = bytes.size() / 3;
  const size_t rest = bytes.size() % 3;
  const BYTE* in = bytes.data();
  EncodeBase64Blocks(in, in + bytes.size(), out);
  for (const BYTE* end = bytes.data() + 3 * groups; in != end; in += 3, out += 4) {
    uint32_t bits = uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
    PutPair(kBase64Pairs<Unit>[bits >> 12], out);
    PutPair(kBase64Pairs<Unit>[bits & 0xFFF], out + 2);
  }
  if (rest == 0) return;
  // The missing bytes count as zero bits; '=' stands for each one.
  uint32_t bits = uint32_t(in[0]) << 16 | (rest == 2 ? uint32_t(in[1]) << 8 : 0);
  PutPair(kBase64Pairs<Unit>[bits >> 12], out);
  out[2] = rest == 2 ? Unit(kBase64Alphabet[(bits >> 6) & 63]) : Unit('=');
  out[3] = Unit('=');
}

template <typename Unit>
void HexInto(std::span<const BYTE> bytes, Unit* out) {
  for (BYTE byte : bytes) {
    PutPair(kHexPairs<Unit>[byte], out);
    out += 2;
  }
}

// Grows `text` by `units` and returns where the new units start.
char16_t* GrowBy(std::u16string& text, size_t units) {
  size_t old = text.size();
  text.resize(old + units);
  return text.data() + old;
}

}  // namespace

size_t Base64Length(size_t byteCount) { return 4 * (byteCount / 3 + (byteCount % 3 != 0)); }
void WriteBase64(std::span<const BYTE> bytes, char16_t* out) { Base64Into(bytes, out); }
void WriteBase64(std::span<const BYTE> bytes, BYTE* out) { Base64Into(bytes, out); }
void AppendBase64(std::span<const BYTE> bytes, std::u16string& text) {
  WriteBase64(bytes, GrowBy(text, Base64Length(bytes.size())));
}

size_t HexLength(size_t byteCount) { return 2 * byteCount; }
void WriteHex(std::span<const BYTE> bytes, char16_t* out) { HexInto(bytes, out); }
void WriteHex(std::span<const BYTE> bytes, BYTE* out) { HexInto(bytes, out); }
void AppendHex(std::span<const BYTE> bytes, std::u16string& text) {
  WriteHex(bytes, GrowBy(text, HexLength(bytes.size())));
}

size_t BinaryText::Length() const {
  return form_ == Form::kBase64 ? Base64Length(bytes_.size()) : HexLength(bytes_.size());
}

void BinaryText::Write(BYTE* out) const {
  form_ == Form::kBase64 ? WriteBase64(bytes_, out) : WriteHex(bytes_, out);
}

void BinaryText::Write(char16_t* out) const {
  form_ == Form::kBase64 ? WriteBase64(bytes_, out) : WriteHex(bytes_, out);
}

}  // namespace qxsoap
