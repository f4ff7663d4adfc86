// DATE values and their ISO 8601 text: reading, writing, the calendar over
// the whole valid range, negative dates, leap years and fractions.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/values.h"

namespace {

using namespace platform_test;

constexpr double kSecond = 1.0 / 86400;

struct ReadRow { const char* why; const char16_t* text; HRESULT expected; double date; };

constexpr ReadRow kReadRows[] = {
    {"day zero", u"1899-12-30", S_OK, 0},
    {"a leap day of a 400-year leap year", u"2000-02-29", S_OK, 36585},
    {"no leap day in a year that is not a leap year", u"2023-02-29", DISP_E_TYPEMISMATCH, 0},
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
    {"day zero at midnight is a time", 0, S_OK, u"00:00:00"},
    {"midnight is written as the date alone", 2, S_OK, u"1900-01-01"},
    {"date and time", 2.75, S_OK, u"1900-01-01 18:00:00"},
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
  for (const char16_t* text : {u"2024-02-29 23:59:59", u"0100-01-01 12:00:00", u"23:59:59"}) {
    SCOPED_TRACE(Trace(text));
    qxcom::Variant date, back;
    ASSERT_EQ(Change(Text(text), VT_DATE, &date), S_OK);
    ASSERT_EQ(Change(date, VT_BSTR, &back), S_OK);
    EXPECT_EQ(TextOf(back), text) << "text to DATE and back is unchanged";
  }
}

}  // namespace
