// DATE values as ISO 8601 text in the invariant coercion locale: read as
// "yyyy-mm-dd", "hh:mm[:ss[.fff]]" or the two joined by a blank or a 'T',
// written as "yyyy-mm-dd hh:mm:ss", the date alone at midnight and the time
// alone on day 0 (1899-12-30).
#ifndef QXCOM_PLATFORM_DATE_TEXT_H_
#define QXCOM_PLATFORM_DATE_TEXT_H_

#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxcom {

// Reads a date, a time or both, with blanks around allowed. A time alone is
// a time on day 0. Stores the DATE and returns S_OK; DISP_E_TYPEMISMATCH
// for other text or a day or time that does not exist, DISP_E_OVERFLOW for
// a year outside 100 to 9999. *date is untouched on failure.
HRESULT ParseDateText(std::u16string_view text, double* date);

// Writes `date` rounded to the nearest second into *text. DISP_E_OVERFLOW
// outside the valid years; *text is untouched then.
HRESULT FormatDateText(double date, std::u16string* text);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_DATE_TEXT_H_
