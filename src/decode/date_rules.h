// decode/date_rules.h: the text of date, time and dateTime (timeInstant)
// accessors read into OLE DATE values (days since 1899-12-30, the fraction
// being the time of day). Each rule reads fixed slices of the text with the
// platform's VarDateFromStr, so what a slice may look like ("yyyy-mm-dd",
// "hh:mm:ss") is the platform's choice; the rules only pick the slices and
// apply the zone offset.
//
// Threads: the functions keep no state.
#ifndef QXSOAP_DECODE_DATE_RULES_H_
#define QXSOAP_DECODE_DATE_RULES_H_

#include <optional>
#include <string_view>

#include "qxcom/types.h"

namespace qxsoap {

// The day named by the first 10 units ("2003-05-01"); anything after them,
// a zone included, is ignored. nullopt for shorter text or a slice that is
// not a date.
std::optional<DATE> ParseSchemaDate(std::u16string_view text);

// The time of day in the first 8 units ("23:00:00"), moved by the zone that
// follows: none or "Z" leaves it, "+hh:mm" adds the offset and "-hh:mm"
// subtracts it, wrapping into [0, 1) ("23:00:00+02:00" is 1/24). nullopt
// for shorter text, a slice that is not a time, or an offset with fewer
// than 5 units or that is not a time.
std::optional<DATE> ParseSchemaTime(std::u16string_view text);

// A date, a 'T' and a time: the part before the first 'T' is read as a
// date, the 8 units after it as a time (fractional seconds are ignored),
// and the zone after the 'T' moves the result as for ParseSchemaTime, but
// across midnight into the next or previous day
// ("2003-05-01T23:00:00+02:00" is 2003-05-02 01:00). nullopt without a 'T'
// or when a slice or the offset cannot be read.
std::optional<DATE> ParseSchemaDateTime(std::u16string_view text);

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_DATE_RULES_H_
