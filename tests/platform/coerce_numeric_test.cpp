// Numeric coercions: range edges of every integer type, rounding half to
// even, shortest round-trip text of floats, text read by each target type's
// rules, and currency and DECIMAL precision.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/values.h"

namespace {

using namespace platform_test;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// `text` converted to `type`, as a source for further conversions.
qxcom::Variant Via(VARTYPE type, const char16_t* text) {
  qxcom::Variant value;
  EXPECT_EQ(Change(Text(text), type, &value), S_OK);
  return value;
}

// Converts `source` to `type`; the integer's text, or "" when that fails
// (and then checks that the result stayed empty).
std::string IntegerFrom(const qxcom::Variant& source, VARTYPE type, HRESULT expected) {
  qxcom::Variant result;
  EXPECT_EQ(Change(source, type, &result), expected);
  if (expected != S_OK) {
    EXPECT_EQ(result->vt, VT_EMPTY);
    return "";
  }
  EXPECT_EQ(result->vt, type);
  return Trace(AsText(result));
}

struct RangeRow {
  const char* why; VARTYPE type; const char16_t* text; HRESULT expected; const char* value;
};

constexpr RangeRow kRangeRows[] = {
    {"I1 lowest", VT_I1, u"-128", S_OK, "-128"},
    {"I1 below lowest", VT_I1, u"-129", DISP_E_OVERFLOW, ""},
    {"I1 above highest", VT_I1, u"128", DISP_E_OVERFLOW, ""},
    {"UI1 highest", VT_UI1, u"255", S_OK, "255"},
    {"UI1 never wraps a negative", VT_UI1, u"-1", DISP_E_OVERFLOW, ""},
    {"UI1 above highest", VT_UI1, u"256", DISP_E_OVERFLOW, ""},
    {"I4 below lowest", VT_I4, u"-2147483649", DISP_E_OVERFLOW, ""},
    {"INT is 32 bits", VT_INT, u"2147483648", DISP_E_OVERFLOW, ""},
    {"I8 lowest", VT_I8, u"-9223372036854775808", S_OK, "-9223372036854775808"},
    {"I8 above highest", VT_I8, u"9223372036854775808", DISP_E_OVERFLOW, ""},
    {"UI8 highest", VT_UI8, u"18446744073709551615", S_OK, "18446744073709551615"},
    {"UI8 above highest", VT_UI8, u"18446744073709551616", DISP_E_OVERFLOW, ""},
    {"far beyond 64 bits", VT_UI8, u"123456789012345678901234567890", DISP_E_OVERFLOW, ""},
    {"leading zeros do not count", VT_I1, u"-000000000000000000000000000128", S_OK, "-128"},
};

TEST(CoerceNumeric, IntegerRangeEdgesFromText) {
  for (const RangeRow& row : kRangeRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(IntegerFrom(Text(row.text), row.type, row.expected), row.value);
  }
  qxcom::Variant lowest = Of(VT_I8), highest = Of(VT_UI8);
  lowest->llVal = std::numeric_limits<LONGLONG>::min();
  highest->ullVal = std::numeric_limits<ULONGLONG>::max();
  EXPECT_EQ(IntegerFrom(lowest, VT_UI8, DISP_E_OVERFLOW), "") << "a negative is never wrapped";
  EXPECT_EQ(IntegerFrom(highest, VT_I8, DISP_E_OVERFLOW), "");
}

struct RoundingRow {
  const char* why; qxcom::Variant source; VARTYPE type; HRESULT expected; const char* integer;
};

TEST(CoerceNumeric, EveryFormRoundsHalfToEven) {
  const RoundingRow rows[] = {
      {"half rounds to the even 2", Real(1.5), VT_I4, S_OK, "2"},
      {"half rounds down to the even 2", Real(2.5), VT_I4, S_OK, "2"},
      {"negative half to the even -2", Real(-2.5), VT_I2, S_OK, "-2"},
      {"rounding happens before the range check", Real(255.4), VT_UI1, S_OK, "255"},
      {"rounding can leave the range", Real(255.5), VT_UI1, DISP_E_OVERFLOW, ""},
      {"a small negative rounds to an unsigned zero", Real(-0.4), VT_UI4, S_OK, "0"},
      {"2^63 is beyond I8", Real(9223372036854775808.0), VT_I8, DISP_E_OVERFLOW, ""},
      {"2^63 fits UI8", Real(9223372036854775808.0), VT_UI8, S_OK, "9223372036854775808"},
      {"infinity overflows", Real(kInfinity), VT_I4, DISP_E_OVERFLOW, ""},
      {"decimal 2.5 to 2", Via(VT_DECIMAL, u"2.5"), VT_I4, S_OK, "2"},
      {"decimal just above half", Via(VT_DECIMAL, u"2.50000000000000000000001"), VT_I4, S_OK, "3"},
      {"currency -1.5 to -2", Via(VT_CY, u"-1.5"), VT_I8, S_OK, "-2"},
  };
  for (const RoundingRow& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(IntegerFrom(row.source, row.type, row.expected), row.integer);
  }
}

TEST(CoerceNumeric, FloatsRoundTripThroughTheirShortestText) {
  const qxcom::Variant kValues[] = {
      Real(0.1), Real(1.0 / 3), Real(std::numeric_limits<double>::denorm_min()),
      Real(std::numeric_limits<double>::max()), Real(123456789012345680.0), Real(1e21),
      Real(-0.0), Real(-kInfinity), Single(0.1f), Single(-1.5e-45f),
      Single(std::numeric_limits<float>::max()), Single(16777216.0f), Single(-0.0f)};
  auto read = [](const qxcom::Variant& value) {
    return value->vt == VT_R4 ? double(value->fltVal) : value->dblVal;
  };
  for (const qxcom::Variant& value : kValues) {
    qxcom::Variant text, back;
    ASSERT_EQ(Change(value, VT_BSTR, &text), S_OK);
    SCOPED_TRACE(Trace(TextOf(text)));
    ASSERT_EQ(Change(text, value->vt, &back), S_OK);
    EXPECT_EQ(read(back), read(value));
    EXPECT_EQ(std::signbit(read(back)), std::signbit(read(value))) << "negative zero keeps its sign";
  }
  EXPECT_EQ(AsText(Real(0.1)), u"0.1") << "shortest, not 17 digits";
  EXPECT_EQ(AsText(Single(0.1f)), u"0.1") << "a float is written as a float, not as its double";
  EXPECT_EQ(AsText(Real(1e21)), u"1e+21");
  EXPECT_EQ(AsText(Real(-kInfinity)), u"-INF");
  EXPECT_EQ(AsText(Real(kNaN)), u"NaN");
}

TEST(CoerceNumeric, TextIsReadByTheTargetTypesRules) {
  struct Row {
    const char* why; const char16_t* text; VARTYPE type; HRESULT expected; const char16_t* read;
  };
  constexpr Row kRows[] = {
      {"any letter case", u"FaLsE", VT_BOOL, S_OK, u"False"},
      {"any non-zero number is true", u"-2.5", VT_BOOL, S_OK, u"True"},
      {"other words", u"yes", VT_BOOL, DISP_E_TYPEMISMATCH, nullptr},
      {"a prefix of a word", u"tru", VT_BOOL, DISP_E_TYPEMISMATCH, nullptr},
      {"blanks around digits", u" \t42\r\n", VT_I4, S_OK, u"42"},
      {"a fraction is not an integer", u"1.0", VT_I4, DISP_E_TYPEMISMATCH, nullptr},
      {"empty", u"", VT_I4, DISP_E_TYPEMISMATCH, nullptr},
      {"digits of another script", u"\u0664\u0662", VT_I4, DISP_E_TYPEMISMATCH, nullptr},
      {"exponent form", u"1.5e-3", VT_R8, S_OK, u"0.0015"},
      {"beyond double", u"1e400", VT_R8, DISP_E_OVERFLOW, nullptr},
      {"beyond float", u"3.5e38", VT_R4, DISP_E_OVERFLOW, nullptr},
      {"infinity in any case", u"inf", VT_R4, S_OK, u"INF"},
      {"a comma is not this locale's decimal point", u"1,5", VT_R8, DISP_E_TYPEMISMATCH, nullptr},
      {"units whose low bytes are digits", u"\u0131.\u0135", VT_R8, DISP_E_TYPEMISMATCH, nullptr},
      {"currency highest", u"922337203685477.5807", VT_CY, S_OK, u"922337203685477.5807"},
      {"currency above highest", u"922337203685477.5808", VT_CY, DISP_E_OVERFLOW, nullptr},
      {"currency keeps four places, half to even", u"1.23455", VT_CY, S_OK, u"1.2346"},
      {"decimal highest", u"79228162514264337593543950335", VT_DECIMAL, S_OK,
       u"79228162514264337593543950335"},
      {"decimal above highest", u"79228162514264337593543950336", VT_DECIMAL, DISP_E_OVERFLOW,
       nullptr},
      {"half the smallest step rounds to even zero", u"0.00000000000000000000000000005",
       VT_DECIMAL, S_OK, u"0"},
      {"29 digits beyond 96 bits lose the last one", u"7922816251426433759354395033.7",
       VT_DECIMAL, S_OK, u"7922816251426433759354395034"},
      {"more than 29 digits are rounded to 29", u"1234567890.12345678901234567895", VT_DECIMAL,
       S_OK, u"1234567890.123456789012345679"},
      {"half above the highest rounds beyond it", u"79228162514264337593543950335.5", VT_DECIMAL,
       DISP_E_OVERFLOW, nullptr},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    qxcom::Variant result;
    if (FromText(row.text, row.type, row.expected, &result)) {
      EXPECT_EQ(result->vt, row.type);
      EXPECT_EQ(AsText(result), row.read);
    }
  }
}

TEST(CoerceNumeric, ExactConversionsBetweenNumericTypes) {
  qxcom::Variant decimal, currency, real, integer;
  ASSERT_EQ(Change(Real(0.1), VT_DECIMAL, &decimal), S_OK);
  EXPECT_EQ(decimal->decVal.Lo64, 1u) << "0.1 becomes exactly one tenth";
  EXPECT_EQ(decimal->decVal.scale, 1);

  ASSERT_EQ(Change(Text(u"12.34567"), VT_DECIMAL, &decimal), S_OK);
  ASSERT_EQ(Change(decimal, VT_CY, &currency), S_OK);
  EXPECT_EQ(currency->cyVal.int64, 123457);
  ASSERT_EQ(Change(currency, VT_R8, &real), S_OK);
  EXPECT_EQ(real->dblVal, 12.3457);

  qxcom::Variant largest = Of(VT_I8);
  largest->llVal = std::numeric_limits<LONGLONG>::max();
  ASSERT_EQ(Change(largest, VT_DECIMAL, &decimal), S_OK);
  ASSERT_EQ(Change(decimal, VT_I8, &integer), S_OK);
  EXPECT_EQ(integer->llVal, std::numeric_limits<LONGLONG>::max()) << "no trip through a double";
  EXPECT_EQ(Change(largest, VT_CY, &currency), DISP_E_OVERFLOW) << "times 10000 is beyond currency";
}

}  // namespace
