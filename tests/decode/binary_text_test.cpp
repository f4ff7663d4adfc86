// Base64 and hex decoding: the padding rules, blanks and invalid units
// anywhere in long texts, and large values through the fast paths.
#include "decode/binary_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "decode/byte_arrays.h"
#include "qxcom/owned.h"

namespace qxsoap {
namespace {

using Bytes = std::vector<BYTE>;
using Decoder = HRESULT (*)(std::u16string_view, SAFEARRAY**);

// Short base64 texts through the careful path, one row per rule the long
// texts below do not reach. Other short texts are refused by the counts or
// by the size they add up to whatever the group rules say.
TEST(Base64, ShortTexts) {
  const struct {
    const char* why;
    std::u16string_view text;
    std::optional<Bytes> bytes;  // nullopt: the text is refused
  } rows[] = {
      {"two pads in a middle group", u"QQ==QUJD", Bytes{0x41, 0x41, 0x42, 0x43}},
      {"blanks of every kind inside a group", u"Q \tU\n\vJ\f\rD", Bytes{0x41, 0x42, 0x43}},
      {"empty text: empty array", u"", Bytes{}},
      {"more pads than the groups hold", u"====", std::nullopt},
      // Refused either way; without the size check it writes past the
      // array, which the asan preset reports.
      {"padding that would outgrow the counted size", u"QUJD====", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    SAFEARRAY* raw = reinterpret_cast<SAFEARRAY*>(1);  // must be overwritten
    const HRESULT hr = DecodeBase64Text(row.text, &raw);
    qxcom::SafeArrayPtr array(raw);
    if (!row.bytes) {
      EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
      EXPECT_EQ(raw, nullptr);
      continue;
    }
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(test::DecodedBytes(array.get()), *row.bytes);
  }
}

constexpr std::u16string_view kAllDigits =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// An encoder independent of the decoder, breaking lines as MIME does.
std::u16string Base64Of(const Bytes& bytes, size_t lineLength) {
  std::u16string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t bits = uint32_t(bytes[i]) << 16;
    if (i + 1 < bytes.size()) bits |= uint32_t(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) bits |= bytes[i + 2];
    for (size_t k = 0; k < 4; ++k) {
      bool padding = i + k > bytes.size();  // k digits cover k - 1 whole bytes
      text += padding ? u'=' : kAllDigits[(bits >> (18 - 6 * k)) & 63];
    }
    if (lineLength != 0 && (i / 3 + 1) % (lineLength / 4) == 0) text += u"\r\n";
  }
  return text;
}

std::u16string HexOf(const Bytes& bytes) {
  constexpr std::u16string_view kDigits = u"0123456789abcdef";
  std::u16string text;
  for (BYTE b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

Bytes RandomBytes(size_t count) {
  std::mt19937 random(7);
  Bytes bytes(count);
  for (BYTE& b : bytes) b = BYTE(random());
  return bytes;
}

// Past 65535 units the counting runs in chunks; one bad unit late in the
// text must still stop the bulk decoder.
TEST(BinaryText, LargeValuesRoundTripAndOneBadUnitLateFails) {
  const Bytes bytes = RandomBytes(1'000'001);  // not a multiple of 3: one pad at the end
  const struct {
    const char* why;
    Decoder decode;
    std::u16string text;
    char16_t bad;
  } rows[] = {
      {"base64 on one line", &DecodeBase64Text, Base64Of(bytes, 0), u'\u0141'},
      {"base64 in MIME lines of 76", &DecodeBase64Text, Base64Of(bytes, 76), u'\u0141'},
      {"hex", &DecodeHexText, HexOf(bytes), u'\u0130'},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    SAFEARRAY* raw = nullptr;
    ASSERT_EQ(row.decode(row.text, &raw), S_OK);
    qxcom::SafeArrayPtr array(raw);
    EXPECT_TRUE(test::DecodedBytes(array.get()) == bytes);
    std::u16string bad = row.text;
    bad[bad.size() - 9] = row.bad;
    EXPECT_EQ(row.decode(bad, &raw), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(raw, nullptr);
  }
}

// Long texts go through the bulk decoder: a unit that is no digit must stop
// it wherever it sits in a block, and a blank anywhere is dropped.
TEST(Base64, EveryPlaceInALongTextIsChecked) {
  const Bytes bytes = RandomBytes(120);
  const std::u16string text = Base64Of(bytes, 0);  // 160 digits: five blocks of 32
  constexpr char16_t kNotDigits[] = {u'\0', u'*',    u',',    u'-',      u':',      u'@',
                                     u'[',  u'`',    u'{',    u'\x7F',   u'\x80',   u'\xFF',
                                     u'\u0141', u'\u01FF', u'\u8041', u'\uFF2F'};
  for (size_t at = 0; at < text.size(); ++at) {
    SCOPED_TRACE(at);
    for (const char16_t unit : kNotDigits) {
      std::u16string bad = text;
      bad[at] = unit;
      SAFEARRAY* raw = nullptr;
      EXPECT_EQ(DecodeBase64Text(bad, &raw), DISP_E_TYPEMISMATCH) << "unit " << int(unit);
      SafeArrayDestroy(raw);
    }
    std::u16string spaced = text;
    spaced.insert(at, 1, u'\n');
    SAFEARRAY* raw = nullptr;
    ASSERT_EQ(DecodeBase64Text(spaced, &raw), S_OK);
    qxcom::SafeArrayPtr array(raw);
    EXPECT_TRUE(test::DecodedBytes(array.get()) == bytes);
  }
}

}  // namespace
}  // namespace qxsoap
