// Date, time and dateTime text of DATE values: rounding to the second,
// days before 1899-12-30, leap days and cycle ends, the range limits, and
// text that names the same moment as the platform's own calendar.
#include "encode/date_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <optional>

#include "qxcom/owned.h"

namespace qxsoap {
namespace {

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

}  // namespace
}  // namespace qxsoap
