// VariantChangeType between types and to and from text, and DATE text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/counting_unknown.h"
#include "platform/values.h"

namespace {

using namespace platform_test;

struct RouteRow {
  const char* why;
  qxcom::Variant source;
  VARTYPE type;
  HRESULT expected;
  const char16_t* text;  // the result read back as text; null: not read
};

qxcom::Variant Truth() {
  qxcom::Variant value = Of(VT_BOOL);
  value->boolVal = VARIANT_TRUE;
  return value;
}

qxcom::Variant Date(DATE date) {
  qxcom::Variant value = Of(VT_DATE);
  value->date = date;
  return value;
}

qxcom::Variant Error() {
  qxcom::Variant value = Of(VT_ERROR);
  value->scode = DISP_E_OVERFLOW;
  return value;
}

TEST(Coerce, RoutesBetweenTypes) {
  const RouteRow rows[] = {
      {"empty is false", Of(VT_EMPTY), VT_BOOL, S_OK, u"False"},
      {"empty is an allocated empty string", Of(VT_EMPTY), VT_BSTR, S_OK, u""},
      {"empty is no error code", Of(VT_EMPTY), VT_ERROR, DISP_E_TYPEMISMATCH, nullptr},
      {"null cannot be emptied", Of(VT_NULL), VT_EMPTY, DISP_E_TYPEMISMATCH, nullptr},
      {"true is -1", Truth(), VT_I4, S_OK, u"-1"},
      {"a non-zero fraction is true", Real(0.25), VT_BOOL, S_OK, u"True"},
      {"negative zero is false", Real(-0.0), VT_BOOL, S_OK, u"False"},
      {"an error code is its bits as I4", Error(), VT_I4, S_OK, u"-2147352566"},
      {"an error code is no text", Error(), VT_BSTR, DISP_E_TYPEMISMATCH, nullptr},
      {"a number is a date", Real(2.75), VT_DATE, S_OK, u"1900-01-01 18:00:00"},
      {"a number past 9999 is no date", Real(3e6), VT_DATE, DISP_E_OVERFLOW, nullptr},
      {"a date is a number, rounded half to even", Date(2.5), VT_I4, S_OK, u"2"},
  };
  for (const RouteRow& row : rows) {
    SCOPED_TRACE(row.why);
    qxcom::Variant result = Long(7);
    ASSERT_EQ(Change(row.source, row.type, &result), row.expected);
    if (FAILED(row.expected)) {
      EXPECT_EQ(result->lVal, 7) << "a failure leaves the destination as it was";
      continue;
    }
    EXPECT_EQ(result->vt, row.type);
    if (row.text) {
      EXPECT_EQ(AsText(result), row.text);
    }
  }
}

TEST(Coerce, InPlaceConversionReplacesOrKeepsTheValue) {
  qxcom::Variant value = Text(u"  1234 ");
  ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_I2), S_OK);
  EXPECT_EQ(value->iVal, 1234);
  ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_BSTR), S_OK);
  EXPECT_EQ(TextOf(value), u"1234");
  value = Text(u"12x");
  EXPECT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(TextOf(value), u"12x") << "a failure in place keeps the source";
}

TEST(Coerce, ReferencesAreFollowed) {
  LONG number = 77;
  qxcom::Variant reference = Of(VT_BYREF | VT_I4);
  reference->plVal = &number;
  qxcom::Variant result;
  ASSERT_EQ(Change(reference, VT_I4, &result), S_OK);
  EXPECT_EQ(result->vt, VT_I4) << "the same base type still loses the reference";
  EXPECT_EQ(result->lVal, 77);

  qxcom::Variant inner = Text(u"2.5");
  qxcom::Variant outer = Of(VT_BYREF | VT_VARIANT);
  outer->pvarVal = inner.get();
  ASSERT_EQ(Change(outer, VT_R8, &result), S_OK);
  EXPECT_EQ(result->dblVal, 2.5);
  EXPECT_EQ(TextOf(inner), u"2.5") << "the referenced value is not touched";

  qxcom::Variant dangling = Of(VT_BYREF | VT_R8);
  dangling->byref = nullptr;
  EXPECT_EQ(Change(dangling, VT_I4, &result), E_INVALIDARG);
}

TEST(Coerce, InterfacesConvertOnlyToInterfaces) {
  CountingUnknown object;
  {
    qxcom::Variant dispatch = Of(VT_DISPATCH);
    dispatch->pdispVal = &object;
    object.AddRef();  // the VARIANT's reference
    qxcom::Variant unknown, back, result;
    ASSERT_EQ(Change(dispatch, VT_UNKNOWN, &unknown), S_OK);
    EXPECT_EQ(unknown->punkVal, static_cast<IUnknown*>(&object));
    ASSERT_EQ(Change(unknown, VT_DISPATCH, &back), S_OK);
    EXPECT_EQ(back->pdispVal, static_cast<IDispatch*>(&object));
    EXPECT_EQ(object.references(), 4u);
    EXPECT_EQ(Change(dispatch, VT_I4, &result), DISP_E_TYPEMISMATCH) << "no default property read";
    EXPECT_EQ(object.references(), 4u) << "failures take no reference";
  }
  EXPECT_EQ(object.references(), 1u) << "every reference taken was released";

  qxcom::Variant none = Of(VT_UNKNOWN);
  none->punkVal = nullptr;
  qxcom::Variant result;
  ASSERT_EQ(Change(none, VT_DISPATCH, &result), S_OK);
  EXPECT_EQ(result->pdispVal, nullptr) << "a null reference stays null";
}

TEST(Coerce, BadTypeTagsAndArrays) {
  qxcom::Variant result;
  EXPECT_EQ(Change(Long(1), VT_BYREF | VT_I4, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(Long(1), 15, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(Of(0x0FFF), VT_I4, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantChangeType(nullptr, result.get(), 0, VT_I4), E_INVALIDARG);

  qxcom::Variant array = Of(VT_ARRAY | VT_I4);
  array->parray = SafeArrayCreateVector(VT_I4, 0, 2);
  EXPECT_EQ(Change(array, VT_BSTR, &result), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(Change(array, VT_ARRAY | VT_I4, &result), S_OK);
  EXPECT_NE(result->parray, array->parray) << "a copy of its own";
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// `text` converted to `type`, as a source for further conversions.
qxcom::Variant Via(VARTYPE type, const char16_t* text) {
  qxcom::Variant value;
  EXPECT_EQ(Change(Text(text), type, &value), S_OK);
  return value;
}

qxcom::Variant Bits(VARTYPE type, ULONGLONG bits) {
  qxcom::Variant value = Of(type);
  value->ullVal = bits;
  return value;
}

TEST(CoerceNumeric, IntegerRangeEdgesAndRoundingHalfToEven) {
  struct Row {
    const char* why; qxcom::Variant source; VARTYPE type; HRESULT expected; const char16_t* value;
  };
  const Row rows[] = {
      {"I1 below lowest", Text(u"-129"), VT_I1, DISP_E_OVERFLOW, nullptr},
      {"I1 above highest", Text(u"128"), VT_I1, DISP_E_OVERFLOW, nullptr},
      {"UI1 never wraps a negative", Text(u"-1"), VT_UI1, DISP_E_OVERFLOW, nullptr},
      {"I4 below lowest", Text(u"-2147483649"), VT_I4, DISP_E_OVERFLOW, nullptr},
      {"INT is 32 bits", Text(u"2147483648"), VT_INT, DISP_E_OVERFLOW, nullptr},
      {"I8 lowest", Text(u"-9223372036854775808"), VT_I8, S_OK, u"-9223372036854775808"},
      {"I8 above highest", Text(u"9223372036854775808"), VT_I8, DISP_E_OVERFLOW, nullptr},
      {"UI8 highest", Text(u"18446744073709551615"), VT_UI8, S_OK, u"18446744073709551615"},
      {"UI8 above highest", Text(u"18446744073709551616"), VT_UI8, DISP_E_OVERFLOW, nullptr},
      {"2^128 + 5, which must not wrap to 5", Text(u"340282366920938463463374607431768211461"),
       VT_UI8, DISP_E_OVERFLOW, nullptr},
      {"leading zeros do not count", Text(u"-000000000000000000000000000128"), VT_I1, S_OK, u"-128"},
      {"a negative I8 is never wrapped", Bits(VT_I8, 1ull << 63), VT_UI8, DISP_E_OVERFLOW, nullptr},
      {"the highest UI8 is beyond I8", Bits(VT_UI8, ~0ull), VT_I8, DISP_E_OVERFLOW, nullptr},
      {"half rounds to the even 2", Real(1.5), VT_I4, S_OK, u"2"},
      {"half rounds down to the even 2", Real(2.5), VT_I4, S_OK, u"2"},
      {"negative half to the even -2", Real(-2.5), VT_I2, S_OK, u"-2"},
      {"rounding happens before the range check", Real(255.4), VT_UI1, S_OK, u"255"},
      {"rounding can leave the range", Real(255.5), VT_UI1, DISP_E_OVERFLOW, nullptr},
      {"a small negative rounds to an unsigned zero", Real(-0.4), VT_UI4, S_OK, u"0"},
      {"2^63 fits UI8", Real(9223372036854775808.0), VT_UI8, S_OK, u"9223372036854775808"},
      {"infinity overflows", Real(kInfinity), VT_I4, DISP_E_OVERFLOW, nullptr},
      {"decimal 2.5 to 2", Via(VT_DECIMAL, u"2.5"), VT_I4, S_OK, u"2"},
      {"decimal just above half", Via(VT_DECIMAL, u"2.50000000000000000000001"), VT_I4, S_OK, u"3"},
      {"currency -1.5 to -2", Via(VT_CY, u"-1.5"), VT_I8, S_OK, u"-2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    qxcom::Variant result;
    ASSERT_EQ(Change(row.source, row.type, &result), row.expected);
    EXPECT_EQ(result->vt, row.value ? row.type : VARTYPE(VT_EMPTY)) << "a failure leaves it empty";
    if (row.value) {
      EXPECT_EQ(AsText(result), row.value);
    }
  }
}

TEST(CoerceNumeric, FloatsRoundTripThroughTheirShortestText) {
  // 0.1 is checked by its exact text below.
  const qxcom::Variant kValues[] = {
      Real(1.0 / 3), Real(std::numeric_limits<double>::denorm_min()),
      Real(std::numeric_limits<double>::max()), Real(123456789012345680.0), Real(1e21), Real(-0.0),
      Real(-kInfinity), Single(-1.5e-45f), Single(std::numeric_limits<float>::max()), Single(-0.0f)};
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
    const char* why; std::u16string_view text; VARTYPE type; HRESULT expected; const char16_t* read;
  };
  constexpr Row kRows[] = {
      {"the BSTR's length counts, not its first null", {u"4\0" "2", 3}, VT_I4, DISP_E_TYPEMISMATCH,
       nullptr},
      {"any letter case", u"FaLsE", VT_BOOL, S_OK, u"False"},
      {"any non-zero number is true", u"-2.5", VT_BOOL, S_OK, u"True"},
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

constexpr double kSecond = 1.0 / 86400;

struct ReadRow { const char* why; const char16_t* text; HRESULT expected; double date; };

constexpr ReadRow kReadRows[] = {
    {"a leap day of a 400-year leap year", u"2000-02-29", S_OK, 36585},
    {"no leap day in a century year", u"1900-02-29", DISP_E_TYPEMISMATCH, 0},
    {"a day past the month's end", u"2023-04-31", DISP_E_TYPEMISMATCH, 0},
    {"the first valid day", u"0100-01-01", S_OK, -657434},
    {"the last valid day", u"9999-12-31", S_OK, 2958465},
    {"before the year 100", u"0099-12-31", DISP_E_OVERFLOW, 0},
    {"after the year 9999", u"10000-01-01", DISP_E_OVERFLOW, 0},
    {"noon alone is on day 0", u"12:00:00", S_OK, 0.5},
    {"hour 24", u"24:00:00", DISP_E_TYPEMISMATCH, 0},
    {"date and time joined by T", u"2003-05-01T10:00:00", S_OK, 37742 + 10.0 / 24},
    {"fractional seconds are kept", u"2003-05-01 10:00:00.5", S_OK,
     37742 + 10.0 / 24 + 0.5 * kSecond},
    {"a long run of nines stays within its second", u"00:00:59.99999999999999999999", S_OK,
     59.999999999 * kSecond},
    {"a negative date's time counts forward", u"1899-12-29 06:00:00", S_OK, -1.25},
    {"a time zone is not read here", u"10:00:00Z", DISP_E_TYPEMISMATCH, 0},
    {"a unit whose low byte is a digit", u"2003-05-0\u0131", DISP_E_TYPEMISMATCH, 0},
};

TEST(Date, ReadsIso8601Text) {
  for (const ReadRow& row : kReadRows) {
    SCOPED_TRACE(row.why);
    DATE date = -99;
    ASSERT_EQ(VarDateFromStr(row.text, LOCALE_USER_DEFAULT, 0, &date), row.expected);
    EXPECT_NEAR(date, row.expected == S_OK ? row.date : -99, 1e-9) << "untouched on failure";
  }
}

struct WriteRow { const char* why; double date; HRESULT expected; const char16_t* text; };

const WriteRow kWriteRows[] = {
    {"midnight is written as the date alone", 2, S_OK, u"1900-01-01"},
    {"a negative date with a positive time", -1.25, S_OK, u"1899-12-29 06:00:00"},
    {"0.2 s before midnight rounds to the next day", 3 - 0.2 * kSecond, S_OK, u"1900-01-02"},
    {"0.2 s before midnight on a negative day", -(1 + (86400 - 0.2) * kSecond), S_OK, u"00:00:00"},
    {"the last valid second", 2958465 + 86399 * kSecond, S_OK, u"9999-12-31 23:59:59"},
    {"after the last valid day", 2958466, DISP_E_OVERFLOW, nullptr},
    {"before the first valid day", -657435, DISP_E_OVERFLOW, nullptr},
    {"not a number", std::numeric_limits<double>::quiet_NaN(), DISP_E_OVERFLOW, nullptr},
};

TEST(Date, WritesIso8601Text) {
  for (const WriteRow& row : kWriteRows) {
    SCOPED_TRACE(row.why);
    BSTR text = nullptr;
    ASSERT_EQ(VarBstrFromDate(row.date, LOCALE_USER_DEFAULT, 0, &text), row.expected);
    qxcom::Bstr owned(text);
    EXPECT_EQ(text == nullptr, row.text == nullptr) << "no string on failure";
    EXPECT_EQ(Chars(text), row.text ? row.text : u"");
  }
}

TEST(Date, EveryStretchOfTheCalendarRoundTrips) {
  // A prime step visits every month, leap year and century over the range.
  constexpr long kStep = 997;
  for (long day = -657434; day <= 2958465; day += kStep) {
    double date = day >= 0 ? day + 0.75 : day - 0.75;  // 18:00 on that day
    BSTR text = nullptr;
    ASSERT_EQ(VarBstrFromDate(date, LOCALE_USER_DEFAULT, 0, &text), S_OK) << day;
    qxcom::Bstr owned(text);
    DATE back = 0;
    ASSERT_EQ(VarDateFromStr(text, LOCALE_USER_DEFAULT, 0, &back), S_OK) << day;
    ASSERT_NEAR(back, date, 1e-7) << Trace(Chars(text));
  }
}

}  // namespace
