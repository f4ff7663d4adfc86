// Base64 and hex text of byte runs: the padding of short tails, bit order,
// the ends of both alphabets, and appending after the text already there.
#include "encode/binary_encoding.h"

#include <gtest/gtest.h>

#include <vector>

namespace qxsoap {
namespace {

struct EncodeRow {
  const char* why;
  std::vector<BYTE> bytes;
  std::u16string_view base64, hex;
};

TEST(BinaryEncoding, Rows) {
  const EncodeRow rows[] = {
      {"no bytes give no text", {}, u"", u""},
      {"one byte: two digits and two pads", {0xFB}, u"+w==", u"FB"},
      {"two bytes: three digits and one pad", {0xFB, 0xFF}, u"+/8=", u"FBFF"},
      {"three bytes fill a group", {0x00, 0x10, 0xFF}, u"ABD/", u"0010FF"},
      {"high bits first", {0x80, 0x00, 0x01}, u"gAAB", u"800001"},
      {"'+' and '/' in both halves of a group", {0xFB, 0xFF, 0xBF}, u"+/+/", u"FBFFBF"},
      {"last letter and last digit", {0xCF, 0x3F, 0xFD}, u"zz/9", u"CF3FFD"},
      {"zero bytes are 'A', not skipped", {0, 0, 0, 0}, u"AAAAAA==", u"00000000"},
      {"every hex digit, upper case", {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF},
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

}  // namespace
}  // namespace qxsoap
