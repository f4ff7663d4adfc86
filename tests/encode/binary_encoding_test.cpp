// Base64 and hex text of byte runs: the padding of short tails, bit order,
// the ends of both alphabets, and appending after the text already there.
#include "encode/binary_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace qxsoap {
namespace {

struct EncodeRow {
  const char* why;
  std::vector<BYTE> bytes;
  std::u16string_view base64, hex;
};

TEST(BinaryEncoding, Rows) {
  // Base64 of every length and byte value is checked against the
  // reference below; these rows pin the padding and every hex digit.
  const EncodeRow rows[] = {
      {"no bytes give no text", {}, u"", u""},
      {"one byte: two digits and two pads", {0xFB}, u"+w==", u"FB"},
      {"two bytes: three digits and one pad", {0xFB, 0xFF}, u"+/8=", u"FBFF"},
      {"every hex digit, upper case, high half first", {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF},
       u"ASNFZ4mrze8=", u"0123456789ABCDEF"},
  };
  for (const EncodeRow& row : rows) {
    SCOPED_TRACE(row.why);
    std::u16string base64 = u">", hex = u">";  // text already in the element stays first
    AppendBase64(row.bytes, base64);
    AppendHex(row.bytes, hex);
    EXPECT_EQ(base64, u">" + std::u16string(row.base64));
    EXPECT_EQ(hex, u">" + std::u16string(row.hex));
  }
}

// The digits of `bytes` six bits at a time, the plainest way.
std::u16string ReferenceBase64(const std::vector<BYTE>& bytes) {
  constexpr std::u16string_view kDigits = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::u16string text;
  for (size_t bit = 0; bit < 8 * bytes.size(); bit += 6) {
    unsigned value = 0;
    for (size_t k = bit; k < bit + 6; ++k) {
      const bool set = k < 8 * bytes.size() && (bytes[k / 8] >> (7 - k % 8) & 1);
      value = value << 1 | unsigned(set);
    }
    text += kDigits[value];
  }
  while (text.size() % 4 != 0) text += u'=';
  return text;
}

// Runs long enough for the bulk encoder, ending at every place in a block,
// with every byte value in every place of a group.
TEST(BinaryEncoding, LongRunsMatchTheReference) {
  std::mt19937 random(11);
  std::vector<BYTE> bytes;
  for (size_t size = 0; size <= 200; ++size) {
    SCOPED_TRACE(size);
    std::u16string text = u">";
    AppendBase64(bytes, text);
    ASSERT_EQ(text, u">" + ReferenceBase64(bytes));
    bytes.push_back(BYTE(random()));
  }
  for (size_t place = 0; place < 3; ++place) {
    std::vector<BYTE> everyValue(place, BYTE(0));
    for (int value = 0; value < 256; ++value) everyValue.push_back(BYTE(value));
    std::u16string text;
    AppendBase64(everyValue, text);
    EXPECT_EQ(text, ReferenceBase64(everyValue)) << "values from place " << place;
  }
}

}  // namespace
}  // namespace qxsoap
