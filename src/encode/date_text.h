// encode/date_text.h: DATE values written in the three lexical forms of the
// XML Schema date types: date "yyyy-mm-dd", time "hh:mm:ssZ" and dateTime
// "yyyy-mm-ddThh:mm:ssZ".
//
// A DATE counts days from 1899-12-30 00:00; its fraction is the time of day,
// which for a negative value still counts forward from midnight (-1.25 is
// 1899-12-29 06:00). The value is written to the nearest second in the
// proleptic Gregorian calendar, as it is: no time zone conversion happens,
// although the time forms end in "Z".
//
// Threads: the function keeps no state.
#ifndef QXSOAP_ENCODE_DATE_TEXT_H_
#define QXSOAP_ENCODE_DATE_TEXT_H_

#include <string>

#include "qxcom/types.h"

namespace qxsoap {

enum class DateForm { kDate, kTime, kDateTime };

// Appends `value` in `form` to `text` and returns true. Returns false and
// appends nothing for a value above 2958465 (9999-12-31 00:00), below
// -657434 (0100-01-01 00:00) or not a number: such a value has no text.
//
// Rounding adds half a second with the sign of the value; then the day is
// the integer part (towards zero) and the time the fraction of the absolute
// value, truncated to whole seconds. So a negative value within half a
// second of the end of its day crosses into the day number below it, not
// the next day: 0.2 seconds before the end of 1899-12-29 (-1.99999768) is
// written as 1899-12-28 00:00:00.
bool AppendDateText(DateForm form, DATE value, std::u16string& text);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_DATE_TEXT_H_
