// Calendar arithmetic for DATE values: day numbers to civil dates and back
// through 400-year eras of 146097 days, which keeps leap years exact.
#include "platform/date.h"

#include <cmath>

namespace qxcom {
namespace {

constexpr long kDaysFrom1970To1899 = -25569;  // 1899-12-30 relative to 1970-01-01
constexpr long kFirstDay = -657434;           // 0100-01-01
constexpr long kLastDay = 2958465;            // 9999-12-31
constexpr long kSecondsPerDay = 86400;

long DaysFromCivil(long year, long month, long day) {
  year -= month <= 2;
  long era = (year >= 0 ? year : year - 399) / 400;
  long yearOfEra = year - era * 400;
  long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 - kDaysFrom1970To1899;
}

void CivilFromDays(long days, DateFields* fields) {
  days += 719468 + kDaysFrom1970To1899;
  long era = (days >= 0 ? days : days - 146096) / 146097;
  long dayOfEra = days - era * 146097;
  long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  long shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
  fields->day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  fields->month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  fields->year = int(yearOfEra + era * 400 + (fields->month <= 2));
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool NamesDayAndTime(const DateFields& f) {
  return f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= DaysInMonth(f.year, f.month) &&
         f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 && f.second >= 0 &&
         f.second <= 59 && f.secondFraction >= 0 && f.secondFraction < 1;
}

}  // namespace

HRESULT DateFromFields(const DateFields& fields, double* date) {
  if (!NamesDayAndTime(fields)) return DISP_E_TYPEMISMATCH;
  if (fields.year < 100 || fields.year > 9999) return DISP_E_OVERFLOW;
  long days = DaysFromCivil(fields.year, fields.month, fields.day);
  double seconds =
      fields.hour * 3600.0 + fields.minute * 60.0 + fields.second + fields.secondFraction;
  double time = seconds / kSecondsPerDay;
  *date = days >= 0 ? days + time : days - time;
  return S_OK;
}

bool IsValidDate(double date) {
  double wholeDays = std::trunc(date);  // NaN fails both comparisons
  return wholeDays >= kFirstDay && wholeDays <= kLastDay;
}

HRESULT FieldsFromDate(double date, DateFields* fields) {
  if (!IsValidDate(date)) return DISP_E_OVERFLOW;
  double wholeDays = std::trunc(date);
  long day = long(wholeDays);
  long seconds = std::lround(std::fabs(date - wholeDays) * kSecondsPerDay);
  if (seconds == kSecondsPerDay) {  // rounded up to the next midnight
    seconds = 0;
    if (++day > kLastDay) return DISP_E_OVERFLOW;
  }
  CivilFromDays(day, fields);
  fields->hour = int(seconds / 3600);
  fields->minute = int(seconds / 60 % 60);
  fields->second = int(seconds % 60);
  fields->secondFraction = 0;
  return S_OK;
}

}  // namespace qxcom
