// Value text by type code and the formatters beneath it (doubles, dates,
// base64 and hex). Long binary runs, through the bulk encoder, are read back
// whole by the round trip.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "decode/binary_text.h"
#include "decode/simple_text.h"
#include "decode/simple_types.h"
#include "encode/binary_encoding.h"
#include "encode/date_text.h"
#include "encode/real_text.h"
#include "encode/value_text.h"
#include "qxcom/owned.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using namespace std::string_view_literals;
using Double = std::numeric_limits<double>;

template <typename Value>
VARIANT Scalar(VARTYPE vt, Value value) {
  VARIANT v = {};
  std::memcpy(&v.llVal, &value, sizeof value);
  v.vt = vt;
  return v;
}

// An array of `count` elements per dimension, tagged VT_ARRAY | `tag`.
qxcom::Variant Array(VARTYPE tag, VARTYPE elements, UINT dims, ULONG count) {
  SAFEARRAYBOUND bounds[2] = {{count, 0}, {count, 0}};
  qxcom::Variant v;
  V_VT(v.get()) = VT_ARRAY | tag;
  V_ARRAY(v.get()) = SafeArrayCreate(elements, dims, bounds);
  return v;
}

// Refused values append nothing.
TEST(ValueText, TextRows) {
  qxcom::Variant string = test::BstrVariant(u" a\0<b "sv);
  qxcom::Variant twoDims = Array(VT_UI1, VT_UI1, 2, 2), wide = Array(VT_UI1, VT_I4, 1, 2),
                 signedBytes = Array(VT_I1, VT_I1, 1, 2);
  DATE date = 2.75;
  const struct {
    const char* why;
    uint16_t code;
    VARIANT value;
    std::u16string_view text;
    HRESULT result = S_OK;
  } rows[] = {
      {"a string as it is, past a null unit", VT_BSTR, *string.get(), u" a\0<b "sv},
      {"a null BSTR is empty", kAnyUri, Scalar(VT_BSTR, nullptr), u""},
      {"any non-zero boolean is true", kBoolean, Scalar(VT_BOOL, SHORT(1)), u"1"},
      {"a double under int keeps its own text", VT_I4, Scalar(VT_R8, 2.5), u"2.5"},
      {"an int under string", VT_BSTR, Scalar(VT_INT, INT(-7)), u"-7"},
      {"the float's shortest text, not the double's", VT_R4, Scalar(VT_R4, 0.1f), u"0.1"},
      {"NaN in the schema form", VT_R8, Scalar(VT_R8, Double::quiet_NaN()), u"NaN"},
      {"infinity in the schema form", VT_R4, Scalar(VT_R4, std::numeric_limits<float>::infinity()), u"INF"},
      {"negative infinity in the schema form", VT_R8, Scalar(VT_R8, -Double::infinity()), u"-INF"},
      {"a date out of range leaves the element empty", kDate, Scalar(VT_DATE, 3e6), u""},
      {"an array never dimensioned has no bytes", kBase64,
       Scalar(VT_ARRAY | VT_UI1, static_cast<SAFEARRAY*>(nullptr)), u""},
      {"a reference to a date is no date", kTime, Scalar(VT_BYREF | VT_DATE, &date), u"", DISP_E_TYPEMISMATCH},
      {"signed bytes are not bytes", kBase64, *signedBytes.get(), u"", DISP_E_TYPEMISMATCH},
      {"bytes have one dimension", kBase64, *twoDims.get(), u"", DISP_E_TYPEMISMATCH},
      {"bytes are one byte wide", kHexBinary, *wide.get(), u"", DISP_E_TYPEMISMATCH},
      {"a short is not a boolean, even with its bits", kBoolean, Scalar(VT_I2, SHORT(-1)), u"",
       DISP_E_TYPEMISMATCH},
      {"anyURI takes strings only", kAnyUri, Scalar(VT_I4, 1), u"", DISP_E_TYPEMISMATCH},
      {"anyType must be resolved first", kAnyType, Scalar(VT_I4, 1), u"", DISP_E_BADVARTYPE},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(row.why);
    const VARIANT before = row.value;
    std::u16string text = u">";
    EXPECT_EQ(AppendValueText(row.code, row.value, text), row.result);
    EXPECT_EQ(text, u">" + std::u16string(row.text));
    EXPECT_EQ(std::memcmp(&before, &row.value, sizeof before), 0) << "the value was changed";
  }
}

// Same type and value: floating point bit for bit (so -0.0 is not 0.0), any
// NaN matching any NaN; the rest compared as 64-bit integers.
bool SameValue(const VARIANT& a, const VARIANT& b) {
  if (a.vt != b.vt) return false;
  if (a.vt == VT_R4) return std::isnan(a.fltVal) ? std::isnan(b.fltVal) : a.lVal == b.lVal;
  if (a.vt == VT_R8 || a.vt == VT_DATE) return std::isnan(a.dblVal) ? std::isnan(b.dblVal) : a.llVal == b.llVal;
  if (a.vt == VT_UI8) return a.ullVal == b.ullVal;  // past the signed range
  qxcom::Variant x, y;
  return VariantChangeType(x.get(), &a, 0, VT_I8) == S_OK && VariantChangeType(y.get(), &b, 0, VT_I8) == S_OK &&
         x->llVal == y->llVal;
}

// Integers at the ends of every width, doubles and floats where text is
// hardest, currency and the date forms. (The round trip reads back more of
// each through whole messages.)
TEST(ValueText, DecoderReadsTheValueBack) {
  const struct {
    const char* why;
    uint16_t code;
    VARIANT value;
  } rows[] = {
      {"byte", VT_I1, Scalar(VT_I1, CHAR(-128))},       {"unsignedByte", VT_UI1, Scalar(VT_UI1, BYTE(255))},
      {"short", VT_I2, Scalar(VT_I2, SHORT(-32768))},   {"unsignedShort", VT_UI2, Scalar(VT_UI2, USHORT(65535))},
      {"int", VT_I4, Scalar(VT_I4, LONG(INT32_MIN))},   {"unsignedInt", VT_UI4, Scalar(VT_UI4, ULONG(UINT32_MAX))},
      {"long", VT_I8, Scalar(VT_I8, LONGLONG(INT64_MIN))},
      {"unsignedLong", VT_UI8, Scalar(VT_UI8, ULONGLONG(UINT64_MAX))},
      {"one third needs 16 digits", VT_R8, Scalar(VT_R8, 1.0 / 3)},
      {"negative zero keeps its sign", VT_R8, Scalar(VT_R8, -0.0)},
      {"smallest denormal", VT_R8, Scalar(VT_R8, Double::denorm_min())},
      {"NaN", VT_R8, Scalar(VT_R8, Double::quiet_NaN())},
      {"negative infinity", VT_R8, Scalar(VT_R8, -Double::infinity())},
      {"a float whose shortest text rounds to its neighbour through a double", VT_R4,
       Scalar(VT_R4, std::bit_cast<float>(0x15AE43FDu))},
      {"currency's smallest step", VT_CY, Scalar(VT_CY, LONGLONG(-1))},
      {"date before day 0", kDate, Scalar(VT_DATE, -18260.0)},
      {"time", kTime, Scalar(VT_DATE, 0.75)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    std::u16string text;
    ASSERT_EQ(AppendValueText(row.code, row.value, text), S_OK);
    qxcom::Variant read;
    ASSERT_EQ(ConvertBuiltInText(row.code, text, read.get()), S_OK);
    EXPECT_TRUE(SameValue(row.value, *read.get())) << std::string(text.begin(), text.end());
  }
}

// Double text must be std::to_chars's shortest round-trip text character for
// character: decimals of up to fifteen digits take a quicker way to it. The
// samples: decimals m / 10^k around the fifteen-digit limit at every scale,
// powers of ten (plain against scientific, with the tie at 0.001), doubles
// of any bits; each with its neighbours (no short decimal) and both signs.
TEST(DoubleText, IsTheShortestRoundTripTextCharacterForCharacter) {
  std::mt19937_64 random(20261207);
  std::vector<double> values;
  for (int scale = 0; scale <= 17; ++scale) {
    for (uint64_t digitsLimit = 10; digitsLimit <= 10'000'000'000'000'000; digitsLimit *= 10) {
      std::uniform_int_distribution<uint64_t> digits(1, digitsLimit + 1000);
      for (int i = 0; i < 300; ++i) values.push_back(double(digits(random)) / std::pow(10.0, scale));
    }
  }
  for (int exponent = -22; exponent <= 22; ++exponent) values.push_back(std::pow(10.0, exponent));
  for (int i = 0; i < 100000; ++i) values.push_back(std::bit_cast<double>(random()));
  size_t mismatches = 0, count = 0;
  for (double value : values) {
    for (double sample : {value, std::nextafter(value, INFINITY), std::nextafter(value, -INFINITY)}) {
      for (double signed_ : {sample, -sample}) {
        if (!std::isfinite(signed_)) continue;
        ++count;
        char buffer[64];
        const std::string reference(buffer, std::to_chars(buffer, buffer + sizeof buffer, signed_).ptr);
        std::u16string text;
        AppendDoubleText(signed_, text);
        if (std::string(text.begin(), text.end()) == reference) continue;
        if (++mismatches <= 5) {
          ADD_FAILURE() << "bits " << std::hex << std::bit_cast<uint64_t>(signed_) << ": wrote "
                        << std::string(text.begin(), text.end()) << ", to_chars writes " << reference;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0u) << "of " << count << " doubles";
}

constexpr double kSecond = 1.0 / 86400;

std::optional<std::u16string> Text(DateForm form, DATE value) {
  std::u16string text;
  if (AppendDateText(form, value, text)) return text;
  EXPECT_EQ(text, u"") << "text appended for a value that has none";
  return std::nullopt;
}

// The date and time forms of each row are the two halves of its dateTime.
// (The platform comparison below covers the calendar at large.)
TEST(DateText, Rows) {
  const struct {
    const char* why;
    DATE value;
    std::u16string_view dateTime;  // empty: the value has no text
  } rows[] = {
      {"0.2 s short of midnight is the next day", 1 - 0.2 * kSecond, u"1899-12-31T00:00:00Z"},
      {"0.4 s past a second rounds down", 1 + 0.4 * kSecond, u"1899-12-31T00:00:00Z"},
      {"0.6 s past a second rounds up", 1 + 0.6 * kSecond, u"1899-12-31T00:00:01Z"},
      {"a negative value rounds away from zero, into the day number below", -(2 - 0.2 * kSecond),
       u"1899-12-28T00:00:00Z"},
      {"last day of a 400-year cycle", 36891, u"2000-12-31T00:00:00Z"},
      {"last day of a 4-year cycle", 35430, u"1996-12-31T00:00:00Z"},
      {"first day, in four digits", -657434, u"0100-01-01T00:00:00Z"},
      {"last day", 2958465, u"9999-12-31T00:00:00Z"},
      {"above the last day", 2958465.25, u""},
      {"below the first day", -657434.25, u""},
      {"not a number", Double::quiet_NaN(), u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    std::optional<std::u16string> dateTime = Text(DateForm::kDateTime, row.value);
    std::optional<std::u16string> date = Text(DateForm::kDate, row.value);
    std::optional<std::u16string> time = Text(DateForm::kTime, row.value);
    ASSERT_EQ(dateTime.has_value(), !row.dateTime.empty());
    if (!dateTime) continue;
    EXPECT_EQ(*dateTime, row.dateTime);
    EXPECT_EQ(date, row.dateTime.substr(0, 10));
    EXPECT_EQ(time, row.dateTime.substr(11));
  }
}

// The platform writes a DATE as "yyyy-mm-dd hh:mm:ss" with a calendar routine
// of its own: both must name the same second on days spread over the range
// (inside its end days, which have text only at midnight).
TEST(DateText, AgreesWithThePlatform) {
  for (long day = -657433; day < 2958465; day += 37) {
    if (day == 0) continue;  // the platform writes the time alone on day 0
    double time = (1 + std::labs(day * 7919) % 86398) * kSecond;  // never midnight
    VARIANT date;
    date.vt = VT_DATE;
    date.date = day >= 0 ? day + time : day - time;
    std::optional<std::u16string> text = Text(DateForm::kDateTime, date.date);
    ASSERT_TRUE(text.has_value()) << day;
    qxcom::Variant platform;
    ASSERT_EQ(VariantChangeType(platform.get(), &date, 0, VT_BSTR), S_OK);
    ASSERT_EQ(std::u16string(V_BSTR(platform.get())), text->substr(0, 10) + u' ' + text->substr(11, 8)) << day;
  }
}

// The padding of both short groups, and every hex digit.
TEST(BinaryEncoding, Rows) {
  const struct {
    std::vector<BYTE> bytes;
    std::u16string_view base64, hex;
  } rows[] = {
      {{0xFB}, u"+w==", u"FB"},
      {{0xFB, 0xFF}, u"+/8=", u"FBFF"},
      {{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}, u"ASNFZ4mrze8=", u"0123456789ABCDEF"},
  };
  for (const auto& row : rows) {
    std::u16string base64 = u">", hex = u">";  // text already in the element stays first
    AppendBase64(row.bytes, base64);
    AppendHex(row.bytes, hex);
    EXPECT_EQ(base64, u">" + std::u16string(row.base64));
    EXPECT_EQ(hex, u">" + std::u16string(row.hex));
  }
}

// Bytes and 16-bit units carry the same text, in every length around the
// bulk encoder's blocks of 24 (which needs 4 bytes beyond a block), and
// the deferred form writes both.
TEST(BinaryEncoding, BothWidthsWriteTheSameText) {
  std::mt19937 random(7);
  std::vector<BYTE> bytes(100);
  for (BYTE& byte : bytes) byte = BYTE(random());
  for (size_t length = 0; length <= bytes.size(); ++length) {
    const std::span<const BYTE> part(bytes.data(), length);
    for (const BinaryText::Form form : {BinaryText::Form::kBase64, BinaryText::Form::kHex}) {
      SCOPED_TRACE(testing::Message() << length << (form == BinaryText::Form::kHex ? " hex" : " base64"));
      std::u16string units;
      (form == BinaryText::Form::kHex ? AppendHex : AppendBase64)(part, units);
      const BinaryText text(form, part);
      ASSERT_EQ(text.Length(), units.size());
      // One unit more than the text, to see that nothing is written past it.
      std::vector<BYTE> narrow(units.size() + 1, '#');
      text.Write(narrow.data());
      EXPECT_EQ(std::u16string(narrow.begin(), narrow.end()), units + u'#');
      std::u16string wide(units.size() + 1, u'#');
      text.Write(wide.data());
      EXPECT_EQ(wide, units + u'#');
      SAFEARRAY* raw = nullptr;
      ASSERT_EQ((form == BinaryText::Form::kHex ? DecodeHexText : DecodeBase64Text)(units, &raw), S_OK);
      const qxcom::SafeArrayPtr decoded(raw);
      const BYTE* data = raw ? static_cast<const BYTE*>(raw->pvData) : nullptr;
      EXPECT_EQ(std::vector<BYTE>(data, data + (raw ? raw->rgsabound[0].cElements : 0)),
                std::vector<BYTE>(part.begin(), part.end()));
    }
  }
}

}  // namespace
}  // namespace qxsoap
