// The date, time and dateTime rules: zone arithmetic, slices, and texts that
// are short or malformed. Each slice is read by the platform's date reader,
// checked in its own suite.
#include "decode/date_rules.h"

#include <gtest/gtest.h>

#include <optional>

namespace qxsoap {
namespace {

constexpr double kDay20030501 = 37742;   // 2003-05-01
constexpr double kDay18500101 = -18260;  // 1850-01-01, before day 0

constexpr double Hours(double hours) { return hours / 24; }

TEST(DateRules, Rows) {
  using Rule = std::optional<DATE> (*)(std::u16string_view);
  const Rule date = &ParseSchemaDate, time = &ParseSchemaTime, dateTime = &ParseSchemaDateTime;
  const struct {
    const char* why;
    Rule rule;
    std::u16string_view text;
    std::optional<double> date;  // nullopt: the text is refused
  } rows[] = {
      {"date: only the first 10 units are read, so no zone", date, u"2003-05-01+14:00", kDay20030501},
      {"date: shorter than 10 units", date, u"2003-5-1", std::nullopt},
      {"time: a fraction after the 8 units is ignored", time, u"10:00:00.75", Hours(10)},
      {"time: '+' adds the offset", time, u"10:00:00+02:30", Hours(12.5)},
      {"time: '-' subtracts the offset", time, u"10:00:00-02:00", Hours(8)},
      {"time: subtracting before midnight wraps", time, u"01:00:00-02:00", Hours(23)},
      {"time: exactly 24:00 wraps to midnight", time, u"22:00:00+02:00", 0.0},
      {"time: shorter than 8 units", time, u"10:00:0", std::nullopt},
      {"time: hour out of range", time, u"25:00:00", std::nullopt},
      {"time: offset shorter than 5 units", time, u"10:00:00+02", std::nullopt},
      {"time: offset that is not a time", time, u"10:00:00+25:00", std::nullopt},
      {"dateTime: '+' moves the time on", dateTime, u"2003-05-01T10:00:00+02:00", kDay20030501 + Hours(12)},
      {"dateTime: the date's dashes are not a zone", dateTime, u"2003-05-01T10:00:00-02:00",
       kDay20030501 + Hours(8)},
      {"dateTime: past midnight into the next day", dateTime, u"2003-05-01T23:00:00+02:00",
       kDay20030501 + 1 + Hours(1)},
      {"dateTime: before midnight into the previous day", dateTime, u"2003-05-01T01:00:00-02:00",
       kDay20030501 - 1 + Hours(23)},
      // Before day 0 the fraction of a DATE still counts forward in time.
      {"dateTime: a time before 1899-12-30", dateTime, u"1850-01-01T10:00:00", kDay18500101 - Hours(10)},
      {"dateTime: from day 0 into day -1", dateTime, u"1899-12-30T01:00:00-02:00", -1 - Hours(23)},
      {"dateTime: no 'T'", dateTime, u"2003-05-01 10:00:00", std::nullopt},
      {"dateTime: fewer than 8 units after the 'T'", dateTime, u"2003-05-01T10:00", std::nullopt},
      {"dateTime: a date that does not exist", dateTime, u"2003-02-29T10:00:00", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    const std::optional<DATE> read = row.rule(row.text);
    ASSERT_EQ(read.has_value(), row.date.has_value());
    if (read) {
      EXPECT_NEAR(*read, *row.date, 1e-9);
    }
  }
}

}  // namespace
}  // namespace qxsoap
