// OLE DATE values and their calendar fields. A DATE counts days from
// 1899-12-30 00:00 in the proleptic Gregorian calendar; its fraction is the
// time of day, and for negative values that fraction still counts forward
// from midnight (-1.25 is 1899-12-29 06:00). Valid dates run from the year
// 100 to the year 9999.
#ifndef QXCOM_PLATFORM_DATE_H_
#define QXCOM_PLATFORM_DATE_H_

#include "qxcom/types.h"

namespace qxcom {

struct DateFields {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  double secondFraction = 0;  // [0, 1); only read by DateFromFields
};

// True when `date` falls on a day of the years 100 to 9999.
bool IsValidDate(double date);

// Builds the DATE of `fields`. DISP_E_TYPEMISMATCH when they name no day
// or time (2023-02-30, 24:00, a fraction outside [0, 1)), DISP_E_OVERFLOW
// for a year outside 100 to 9999. *date is untouched on failure.
HRESULT DateFromFields(const DateFields& fields, double* date);

// Splits `date`, rounded to the nearest second, into calendar fields.
// DISP_E_OVERFLOW for a value that is not finite or outside the valid years.
HRESULT FieldsFromDate(double date, DateFields* fields);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_DATE_H_
