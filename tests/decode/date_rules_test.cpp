// The date, time and dateTime rules: zone arithmetic, slices, and texts that
// are short or malformed.
#include "decode/date_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <span>

namespace qxsoap {
namespace {

using namespace std::string_view_literals;

constexpr double kDay20030501 = 37742;   // 2003-05-01
constexpr double kDay18500101 = -18260;  // 1850-01-01, before day 0

constexpr double Hours(double hours) { return hours / 24; }

struct DateRow {
  const char* why;
  std::u16string_view text;
  std::optional<double> date;  // nullopt: the text is refused
};

using Rule = std::optional<DATE> (*)(std::u16string_view);

void CheckRows(Rule rule, std::span<const DateRow> rows) {
  for (const DateRow& row : rows) {
    SCOPED_TRACE(row.why);
    std::optional<DATE> date = rule(row.text);
    ASSERT_EQ(date.has_value(), row.date.has_value());
    if (date) {
      EXPECT_NEAR(*date, *row.date, 1e-9);
    }
  }
}

TEST(DateRule, Rows) {
  constexpr DateRow rows[] = {
      {"a plain date", u"2003-05-01", kDay20030501},
      {"a zone is not read", u"2003-05-01+14:00", kDay20030501},
      {"only the first 10 units are read", u"2003-05-01T10:00:00", kDay20030501},
      {"before 1899-12-30", u"1850-01-01", kDay18500101},
      {"shorter than 10 units", u"2003-5-1", std::nullopt},
      {"a day that does not exist", u"2003-02-30", std::nullopt},
      {"a null unit inside the slice", u"2003-05-0\0x"sv, std::nullopt},
  };
  CheckRows(&ParseSchemaDate, rows);
}

TEST(TimeRule, Rows) {
  constexpr DateRow rows[] = {
      {"no zone", u"10:00:00", Hours(10)},
      {"'Z'", u"10:00:00Z", Hours(10)},
      {"fraction after the 8 units is ignored", u"10:00:00.75", Hours(10)},
      {"'+' adds the offset", u"10:00:00+02:30", Hours(12.5)},
      {"'-' subtracts the offset", u"10:00:00-02:00", Hours(8)},
      {"adding past midnight wraps", u"23:00:00+02:00", Hours(1)},
      {"subtracting before midnight wraps", u"01:00:00-02:00", Hours(23)},
      {"exactly 24:00 wraps to midnight", u"22:00:00+02:00", 0.0},
      {"'Z' anywhere wins over a sign", u"10:00:00+02:00Z", Hours(10)},
      {"'+' is looked for before '-'", u"10:00:00-05:00+01:00", Hours(11)},
      {"shorter than 8 units", u"10:00:0", std::nullopt},
      {"hour out of range", u"25:00:00", std::nullopt},
      {"offset shorter than 5 units", u"10:00:00+02", std::nullopt},
      {"offset that is not a time", u"10:00:00+25:00", std::nullopt},
      {"a null unit inside the slice", u"10:00\0:00"sv, std::nullopt},
  };
  CheckRows(&ParseSchemaTime, rows);
}

TEST(DateTimeRule, Rows) {
  constexpr DateRow rows[] = {
      {"'+' moves the time on", u"2003-05-01T10:00:00+02:00", kDay20030501 + Hours(12)},
      {"'Z': no adjustment", u"2003-05-01T10:00:00Z", kDay20030501 + Hours(10)},
      {"the date's dashes are not a zone", u"2003-05-01T10:00:00-02:00", kDay20030501 + Hours(8)},
      {"past midnight into the next day", u"2003-05-01T23:00:00+02:00",
       kDay20030501 + 1 + Hours(1)},
      {"before midnight into the previous day", u"2003-05-01T01:00:00-02:00",
       kDay20030501 - 1 + Hours(23)},
      // Before day 0 the fraction of a DATE still counts forward in time.
      {"a time before 1899-12-30", u"1850-01-01T10:00:00", kDay18500101 - Hours(10)},
      {"into the previous day before 1899-12-30", u"1850-01-01T01:00:00-02:00",
       kDay18500101 - 1 - Hours(23)},
      {"from day 0 into day -1", u"1899-12-30T01:00:00-02:00", -1 - Hours(23)},
      {"no 'T'", u"2003-05-01 10:00:00", std::nullopt},
      {"fewer than 8 units after the 'T'", u"2003-05-01T10:00", std::nullopt},
      {"no date before the 'T'", u"T10:00:00", std::nullopt},
      {"a date that does not exist", u"2003-02-29T10:00:00", std::nullopt},
      // The date slice is copied to the stack up to 32 units, to the heap
      // past that: both read alike.
      {"a date slice of 32 units", u"                      2003-05-01T10:00:00Z", kDay20030501 + Hours(10)},
      {"a date slice of 33 units", u"                       2003-05-01T10:00:00Z", kDay20030501 + Hours(10)},
  };
  CheckRows(&ParseSchemaDateTime, rows);
}

}  // namespace
}  // namespace qxsoap
