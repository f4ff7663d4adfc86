// Date and time text. The day number is split into year, month and day by
// counting whole 400-year, 100-year, 4-year and 1-year cycles from
// 0001-01-01 in the proleptic Gregorian calendar; the fields are written as
// fixed-width decimal, so every year has four digits.
#include "encode/date_text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace qxsoap {
namespace {

constexpr double kLastDay = 2958465;    // 9999-12-31
constexpr double kFirstDay = -657434;   // 0100-01-01
constexpr long kDaysBefore18991230 = 693593;  // from 0001-01-01
constexpr long kDaysPer400Years = 146097;
constexpr long kDaysPer100Years = 36524;
constexpr long kDaysPer4Years = 1461;
constexpr long kDaysPerYear = 365;
constexpr long kSecondsPerDay = 86400;

struct Fields {
  long year, month, day;
  long hour, minute, second;
};

// Takes the whole cycles of `length` days out of `days` and returns their
// count, at most `maxCycles`. The last century of a 400-year cycle and the
// last year of a 4-year cycle are one day longer (a leap day): capping the
// count keeps that day in the last cycle instead of starting a new one.
long WholeCycles(long& days, long length, long maxCycles = LONG_MAX) {
  long cycles = std::min(days / length, maxCycles);
  days -= cycles * length;
  return cycles;
}

bool IsLeapYear(long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// `days` counts from 0001-01-01, which is day 0.
void SetCalendarDay(long days, Fields& fields) {
  long years = 400 * WholeCycles(days, kDaysPer400Years);
  years += 100 * WholeCycles(days, kDaysPer100Years, 3);
  years += 4 * WholeCycles(days, kDaysPer4Years);
  years += WholeCycles(days, kDaysPerYear, 3);
  fields.year = years + 1;
  constexpr std::array<long, 12> kMonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = IsLeapYear(fields.year);
  long month = 0;
  for (;; ++month) {
    long length = kMonthDays[month] + (month == 1 && leap);
    if (days < length) break;
    days -= length;
  }
  fields.month = month + 1;
  fields.day = days + 1;
}

bool HasText(DATE value) { return value >= kFirstDay && value <= kLastDay; }  // NaN fails

Fields FieldsOf(DATE value) {
  DATE rounded = value + std::copysign(0.5 / kSecondsPerDay, value);
  double wholeDays = std::trunc(rounded);
  double fraction = std::fabs(rounded) - std::fabs(wholeDays);
  long seconds = long(fraction * kSecondsPerDay);  // truncated: the half second did the rounding
  Fields fields{};
  SetCalendarDay(long(wholeDays) + kDaysBefore18991230, fields);
  fields.hour = seconds / 3600;
  fields.minute = seconds / 60 % 60;
  fields.second = seconds % 60;
  return fields;
}

// Writes `value` as `width` decimal digits at `out`; returns their end.
char16_t* PutDigits(long value, int width, char16_t* out) {
  for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = char16_t(u'0' + value % 10);
  return out + width;
}

char16_t* PutDay(const Fields& f, char16_t* out) {
  out = PutDigits(f.year, 4, out);
  *out++ = u'-';
  out = PutDigits(f.month, 2, out);
  *out++ = u'-';
  return PutDigits(f.day, 2, out);
}

char16_t* PutTimeOfDay(const Fields& f, char16_t* out) {
  out = PutDigits(f.hour, 2, out);
  *out++ = u':';
  out = PutDigits(f.minute, 2, out);
  *out++ = u':';
  out = PutDigits(f.second, 2, out);
  *out++ = u'Z';
  return out;
}

}  // namespace

bool AppendDateText(DateForm form, DATE value, std::u16string& text) {
  if (!HasText(value)) return false;
  const Fields fields = FieldsOf(value);
  // Written in place, then appended at once: "YYYY-MM-DDThh:mm:ssZ" at most.
  std::array<char16_t, 20> units;
  char16_t* out = units.data();
  if (form != DateForm::kTime) out = PutDay(fields, out);
  if (form == DateForm::kDateTime) *out++ = u'T';
  if (form != DateForm::kDate) out = PutTimeOfDay(fields, out);
  text.append(units.data(), size_t(out - units.data()));
  return true;
}

}  // namespace qxsoap
