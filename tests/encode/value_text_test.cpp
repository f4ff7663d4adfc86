// Value text: each type code's text, written without touching the
// caller's value; values refused under a code they do not match; text the
// decoder reads back to the value it came from; and the formatters beneath:
// shortest double text against std::to_chars, dates and times of DATE
// values, base64 and hex of byte runs.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "decode/byte_arrays.h"
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
using Float = std::numeric_limits<float>;

template <typename Value>
VARIANT Scalar(VARTYPE vt, Value value) {
  VARIANT v = {};
  std::memcpy(&v.llVal, &value, sizeof value);
  v.vt = vt;
  return v;
}

VARIANT Decimal(ULONG hi32, ULONGLONG lo64, BYTE scale, BYTE sign) {
  VARIANT v = {};
  v.decVal.scale = scale;
  v.decVal.sign = sign;
  v.decVal.Hi32 = hi32;
  v.decVal.Lo64 = lo64;
  v.vt = VT_DECIMAL;  // after the DECIMAL, whose first field it overlays
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

qxcom::Variant Bytes(const std::vector<BYTE>& bytes) { return test::ByteArrayVariant(bytes); }

struct ValueRow {
  const char* why;
  uint16_t code;
  VARIANT value;
  std::u16string_view text;
};

TEST(ValueText, TextRows) {
  // Dates and bytes by code: their own tests pin the text, the read-back
  // below the code each is written under.
  qxcom::Variant string = test::BstrVariant(u" a\0<b "sv);
  ValueRow rows[] = {
      {"a string unchanged", VT_BSTR, *string.get(), u" a\0<b "sv},
      {"anyURI unchanged", kAnyUri, *string.get(), u" a\0<b "sv},
      {"a null BSTR is empty", kAnyUri, Scalar(VT_BSTR, nullptr), u""},
      {"boolean false", kBoolean, Scalar(VT_BOOL, VARIANT_FALSE), u"0"},
      {"any non-zero boolean is true", kBoolean, Scalar(VT_BOOL, SHORT(1)), u"1"},
      {"a double under int keeps its own text", VT_I4, Scalar(VT_R8, 2.5), u"2.5"},
      {"an int under string: the conversion's text", VT_BSTR, Scalar(VT_INT, INT(-7)), u"-7"},
      {"a boolean under string: the conversion's text", VT_BSTR, Scalar(VT_BOOL, VARIANT_TRUE), u"True"},
      {"the float's shortest text, not the double's", VT_R4, Scalar(VT_R4, 0.1f), u"0.1"},
      {"NaN in the schema form", VT_R8, Scalar(VT_R8, Double::quiet_NaN()), u"NaN"},
      {"infinity in the schema form", VT_R4, Scalar(VT_R4, Float::infinity()), u"INF"},
      {"negative infinity in the schema form", VT_R8, Scalar(VT_R8, -Double::infinity()), u"-INF"},
      {"decimal", VT_DECIMAL, Decimal(0, 1250, 2, DECIMAL_NEG), u"-12.5"},
      {"a date out of range leaves the element empty", kDate, Scalar(VT_DATE, 3e6), u""},
      {"an array never dimensioned has no bytes", kBase64,
       Scalar(VT_ARRAY | VT_UI1, static_cast<SAFEARRAY*>(nullptr)), u""},
  };
  for (ValueRow& row : rows) {
    SCOPED_TRACE(row.why);
    const VARIANT before = row.value;
    std::u16string text = u">";
    EXPECT_EQ(AppendValueText(row.code, row.value, text), S_OK);
    EXPECT_EQ(text, u">" + std::u16string(row.text));
    EXPECT_EQ(std::memcmp(&before, &row.value, sizeof before), 0) << "the value was changed";
  }
}

struct RefusedRow {
  const char* why;
  uint16_t code;
  VARIANT value;
  HRESULT result;
};

TEST(ValueText, RefusedRows) {
  qxcom::Variant dateText = test::BstrVariant(u"2003-05-01T00:00:00Z"), bytes = Bytes({1});
  qxcom::Variant twoDims = Array(VT_UI1, VT_UI1, 2, 2), wide = Array(VT_UI1, VT_I4, 1, 2),
                 signedBytes = Array(VT_I1, VT_I1, 1, 2);
  DATE date = 2.75;
  const RefusedRow rows[] = {
      {"a string is not read as a dateTime", kDateTime, *dateText.get(), DISP_E_TYPEMISMATCH},
      {"a reference to a date is no date", kTime, Scalar(VT_BYREF | VT_DATE, &date),
       DISP_E_TYPEMISMATCH},
      {"a string is not hex data", kHexBinary, *dateText.get(), DISP_E_TYPEMISMATCH},
      {"signed bytes are not bytes", kBase64, *signedBytes.get(), DISP_E_TYPEMISMATCH},
      {"bytes have one dimension", kBase64, *twoDims.get(), DISP_E_TYPEMISMATCH},
      {"bytes are one byte wide", kHexBinary, *wide.get(), DISP_E_TYPEMISMATCH},
      {"a short is not a boolean, even with its bits", kBoolean, Scalar(VT_I2, SHORT(-1)), DISP_E_TYPEMISMATCH},
      {"anyURI takes strings only", kAnyUri, Scalar(VT_I4, 1), DISP_E_TYPEMISMATCH},
      {"anyType must be resolved first", kAnyType, Scalar(VT_I4, 1), DISP_E_BADVARTYPE},
      {"no code above anyURI", uint16_t(kAnyUri + 1), *dateText.get(), DISP_E_BADVARTYPE},
      {"an array has no text", VT_BSTR, *bytes.get(), DISP_E_TYPEMISMATCH},
  };
  for (const RefusedRow& row : rows) {
    SCOPED_TRACE(row.why);
    std::u16string text = u"kept";
    EXPECT_EQ(AppendValueText(row.code, row.value, text), row.result);
    EXPECT_EQ(text, u"kept");
  }
}

// The serializer writes binary values in place: the same text and result
// as appending, from one request for exactly the text's length (none for no
// bytes), with nothing written past it.
TEST(ValueText, BinaryTextWrittenInPlaceIsTheAppendedText) {
  qxcom::Variant two = Bytes({0xFB, 0xFF}), none = Bytes({}), bulk = Bytes(std::vector<BYTE>(1000, 0xA5)),
                 twoDims = Array(VT_UI1, VT_UI1, 2, 2);
  const VARIANT values[] = {*two.get(), *none.get(), *bulk.get(),
                            Scalar(VT_ARRAY | VT_UI1, static_cast<SAFEARRAY*>(nullptr)), Scalar(VT_I4, 7),
                            *twoDims.get()};
  for (const uint16_t code : {kBase64, kHexBinary}) {
    for (size_t i = 0; i < std::size(values); ++i) {
      SCOPED_TRACE(testing::Message() << "code " << code << ", value " << i);
      std::u16string appended;
      const HRESULT expected = AppendValueText(code, values[i], appended);
      std::u16string room;
      int requests = 0;
      const HRESULT written = WriteBinaryText(code, values[i], [&](size_t units) {
        ++requests;
        room.assign(units + 1, u'#');  // one unit past the end, to see it stay untouched
        return room.data();
      });
      EXPECT_EQ(written, expected);
      EXPECT_EQ(requests, appended.empty() ? 0 : 1);
      EXPECT_EQ(room, requests == 1 ? appended + u'#' : u"");
    }
  }
  const TextRoom full = [](size_t) -> char16_t* { throw std::bad_alloc(); };
  EXPECT_EQ(WriteBinaryText(kBase64, *two.get(), full), E_OUTOFMEMORY);
  EXPECT_EQ(WriteBinaryText(VT_BSTR, *two.get(), full), DISP_E_BADVARTYPE);
}

// A DECIMAL without trailing zeros in its fraction (12.50 is 12.5).
DECIMAL Normalized(DECIMAL value) {
  unsigned __int128 magnitude = (unsigned __int128)value.Hi32 << 64 | value.Lo64;
  for (; value.scale > 0 && magnitude % 10 == 0; --value.scale) magnitude /= 10;
  value.Hi32 = ULONG(magnitude >> 64);
  value.Lo64 = ULONGLONG(magnitude);
  return value;
}

// Same type and value: floating point bit for bit (so -0.0 is not 0.0),
// any NaN matching any NaN.
bool SameValue(const VARIANT& a, const VARIANT& b) {
  if (a.vt != b.vt) return false;
  switch (a.vt) {
    case VT_R4:
      return std::isnan(a.fltVal) ? std::isnan(b.fltVal) : a.lVal == b.lVal;
    case VT_R8:
    case VT_DATE:
      return std::isnan(a.dblVal) ? std::isnan(b.dblVal) : a.llVal == b.llVal;
    case VT_DECIMAL: {
      DECIMAL x = Normalized(a.decVal), y = Normalized(b.decVal);
      return x.signscale == y.signscale && x.Hi32 == y.Hi32 && x.Lo64 == y.Lo64;
    }
    case VT_ARRAY | VT_UI1:
      return test::DecodedBytes(a.parray) == test::DecodedBytes(b.parray);
    case VT_UI8:  // past the range of the 64-bit signed comparison below
      return a.ullVal == b.ullVal;
    default: {  // integers, currency and booleans, compared as 64-bit integers
      qxcom::Variant x, y;
      return VariantChangeType(x.get(), &a, 0, VT_I8) == S_OK &&
             VariantChangeType(y.get(), &b, 0, VT_I8) == S_OK && x->llVal == y->llVal;
    }
  }
}

struct RoundTripRow {
  const char* why;
  uint16_t code;
  VARIANT value;
};

// Integers at the ends of every width; doubles and floats where shortest
// text is hardest; decimals, currency, dates and bytes. (The serializer's
// round trip reads back more of each through whole messages.)
TEST(ValueText, DecoderReadsTheValueBack) {
  qxcom::Variant noBytes = Bytes({}), one = Bytes({0xFB}), two = Bytes({1, 2});
  const RoundTripRow rows[] = {
      {"byte", VT_I1, Scalar(VT_I1, CHAR(-128))},       {"unsignedByte", VT_UI1, Scalar(VT_UI1, BYTE(255))},
      {"short", VT_I2, Scalar(VT_I2, SHORT(-32768))},   {"unsignedShort", VT_UI2, Scalar(VT_UI2, USHORT(65535))},
      {"int", VT_I4, Scalar(VT_I4, LONG(INT32_MIN))},   {"unsignedInt", VT_UI4, Scalar(VT_UI4, ULONG(UINT32_MAX))},
      {"long", VT_I8, Scalar(VT_I8, LONGLONG(INT64_MIN))},
      {"unsignedLong", VT_UI8, Scalar(VT_UI8, ULONGLONG(UINT64_MAX))},
      {"one third needs 16 digits", VT_R8, Scalar(VT_R8, 1.0 / 3)},
      {"most negative double", VT_R8, Scalar(VT_R8, -DBL_MAX)},
      {"negative zero keeps its sign", VT_R8, Scalar(VT_R8, -0.0)},
      {"smallest denormal", VT_R8, Scalar(VT_R8, Double::denorm_min())},
      {"largest denormal", VT_R8, Scalar(VT_R8, DBL_MIN - Double::denorm_min())},
      {"NaN", VT_R8, Scalar(VT_R8, Double::quiet_NaN())},
      {"negative infinity", VT_R8, Scalar(VT_R8, -Double::infinity())},
      {"float 0.1", VT_R4, Scalar(VT_R4, 0.1f)},
      {"largest float", VT_R4, Scalar(VT_R4, FLT_MAX)},
      {"smallest float denormal", VT_R4, Scalar(VT_R4, Float::denorm_min())},
      {"a float whose shortest text rounds to its neighbour through a double", VT_R4,
       Scalar(VT_R4, std::bit_cast<float>(0x15AE43FDu))},
      {"decimal with a trailing zero", VT_DECIMAL, Decimal(0, 1250, 2, 0)},
      {"29 digits at scale 28", VT_DECIMAL, Decimal(~0u, ~0ull, 28, 0)},
      {"currency top", VT_CY, Scalar(VT_CY, INT64_MAX)},
      {"currency's smallest step", VT_CY, Scalar(VT_CY, LONGLONG(-1))},
      {"date before day 0", kDate, Scalar(VT_DATE, -18260.0)},
      {"time", kTime, Scalar(VT_DATE, 0.75)},
      {"dateTime on the last day", kDateTime, Scalar(VT_DATE, 2958465.0)},
      {"no bytes", kBase64, *noBytes.get()},
      {"one byte", kHexBinary, *one.get()},
      {"two bytes", kBase64, *two.get()},
  };
  for (const RoundTripRow& row : rows) {
    SCOPED_TRACE(row.why);
    std::u16string text;
    ASSERT_EQ(AppendValueText(row.code, row.value, text), S_OK);
    qxcom::Variant read;
    ASSERT_EQ(ConvertBuiltInText(row.code, text, read.get()), S_OK);
    EXPECT_TRUE(SameValue(row.value, *read.get())) << std::string(text.begin(), text.end());
  }
}

// Double text must be std::to_chars's shortest round-trip text character
// for character: decimals of up to fifteen digits take a quicker way to it.
std::u16string Reference(double value) {
  char buffer[64];
  char* const end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::u16string(buffer, end);
}

std::u16string Written(double value) {
  std::u16string text;
  AppendDoubleText(value, text);
  return text;
}

// Decimals m / 10^k around the fifteen-digit limit and every scale, their
// neighbouring doubles (no short decimal), both signs; integers, powers of
// ten (plain against scientific, with the tie at 0.001) and doubles of any
// bits.
std::vector<double> Samples() {
  std::mt19937_64 random(20261207);
  std::vector<double> values;
  const auto add = [&](double value) {
    for (double signed_ : {value, -value}) {
      values.push_back(signed_);
      values.push_back(std::nextafter(signed_, INFINITY));
      values.push_back(std::nextafter(signed_, -INFINITY));
    }
  };
  for (int scale = 0; scale <= 17; ++scale) {
    const double power = std::pow(10.0, scale);
    for (uint64_t digitsLimit = 10; digitsLimit <= 10'000'000'000'000'000; digitsLimit *= 10) {
      std::uniform_int_distribution<uint64_t> digits(1, digitsLimit + 1000);
      for (int i = 0; i < 300; ++i) add(double(digits(random)) / power);
    }
  }
  for (int exponent = -22; exponent <= 22; ++exponent) add(std::pow(10.0, exponent));
  for (uint64_t integer = 0; integer < 20000; ++integer) add(double(integer) * 997);
  for (int i = 0; i < 100000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (std::isfinite(value)) add(value);
  }
  return values;
}

TEST(DoubleText, IsTheShortestRoundTripTextCharacterForCharacter) {
  const std::vector<double> values = Samples();
  size_t mismatches = 0;
  for (double value : values) {
    const std::u16string written = Written(value);
    if (written == Reference(value)) continue;
    if (++mismatches <= 5) {
      ADD_FAILURE() << "bits " << std::hex << std::bit_cast<uint64_t>(value) << ": wrote "
                    << std::string(written.begin(), written.end()) << ", to_chars writes "
                    << std::string(Reference(value).begin(), Reference(value).end());
    }
  }
  EXPECT_EQ(mismatches, 0u) << "of " << values.size() << " doubles";
}

constexpr double kSecond = 1.0 / 86400;

std::optional<std::u16string> Text(DateForm form, DATE value) {
  std::u16string text;
  if (AppendDateText(form, value, text)) return text;
  EXPECT_EQ(text, u"") << "text appended for a value that has none";
  return std::nullopt;
}

struct DateRow {
  const char* why;
  DATE value;
  std::u16string_view dateTime;  // empty: the value has no text
};

// The date and time forms of each row are the two halves of its dateTime.
TEST(DateText, Rows) {
  const DateRow rows[] = {
      {"day 0", 0.0, u"1899-12-30T00:00:00Z"},
      {"a time of day", 2.75, u"1900-01-01T18:00:00Z"},
      {"0.2 s short of midnight is the next day", 1 - 0.2 * kSecond, u"1899-12-31T00:00:00Z"},
      {"0.4 s past a second rounds down", 1 + 0.4 * kSecond, u"1899-12-31T00:00:00Z"},
      {"0.6 s past a second rounds up", 1 + 0.6 * kSecond, u"1899-12-31T00:00:01Z"},
      {"negative: the fraction counts forward", -1.25, u"1899-12-29T06:00:00Z"},
      {"negative within day 0", -0.5, u"1899-12-30T12:00:00Z"},
      {"a negative value rounds away from zero, into the day number below",
       -(2 - 0.2 * kSecond), u"1899-12-28T00:00:00Z"},
      {"1900 is no leap year", 61, u"1900-03-01T00:00:00Z"},
      {"2000 is a leap year", 36585, u"2000-02-29T00:00:00Z"},
      {"last day of a 400-year cycle", 36891, u"2000-12-31T00:00:00Z"},
      {"last day of a 4-year cycle", 35430, u"1996-12-31T00:00:00Z"},
      {"first day, in four digits", -657434, u"0100-01-01T00:00:00Z"},
      {"last day", 2958465, u"9999-12-31T00:00:00Z"},
      {"above the last day", 2958465.25, u""},
      {"below the first day", -657434.25, u""},
      {"not a number", std::numeric_limits<double>::quiet_NaN(), u""},
      {"infinity", -std::numeric_limits<double>::infinity(), u""},
  };
  for (const DateRow& row : rows) {
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

// The platform writes a DATE as "yyyy-mm-dd hh:mm:ss" with a calendar
// routine of its own: both must name the same second on days spread over
// the range (inside its end days, which have text only at midnight).
TEST(DateText, AgreesWithThePlatform) {
  for (long day = -657433; day < 2958465; day += 37) {
    if (day == 0) continue;  // the platform writes the time alone on day 0
    double time = (1 + std::labs(day * 7919) % 86398) * kSecond;  // never midnight
    VARIANT date;
    date.vt = VT_DATE;
    date.date = day >= 0 ? day + time : day - time;
    std::optional<std::u16string> text = Text(DateForm::kDateTime, date.date);
    ASSERT_TRUE(text.has_value()) << day;
    std::u16string expected = text->substr(0, 10) + u' ' + text->substr(11, 8);
    qxcom::Variant platform;
    ASSERT_EQ(VariantChangeType(platform.get(), &date, 0, VT_BSTR), S_OK);
    ASSERT_EQ(std::u16string(V_BSTR(platform.get())), expected) << day;
  }
}

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
