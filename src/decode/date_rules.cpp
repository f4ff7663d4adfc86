// Date, time and dateTime rules. The parsed slices are whole days and whole
// seconds, so the arithmetic runs on integer seconds and the DATE is formed
// once at the end: 23:00 + 2:00 - 24:00 gives exactly the DATE of 01:00.
#include "decode/date_rules.h"

#include <cmath>
#include <string>

#include "platform/date_text.h"

namespace qxsoap {
namespace {

constexpr long kSecondsPerDay = 86400;
constexpr size_t kDateUnits = 10;   // "yyyy-mm-dd"
constexpr size_t kTimeUnits = 8;    // "hh:mm:ss"
constexpr size_t kOffsetUnits = 5;  // "hh:mm" after the sign

// Reads one slice as VarDateFromStr does, through the platform reading it
// applies: that one takes the slice in place, where VarDateFromStr would
// need a terminated copy. A slice with a null unit fails: VarDateFromStr
// would stop reading at it and accept a shorter text. No flag asks for a
// date or a time alone, so the readers below drop the other part.
std::optional<DATE> ReadSlice(std::u16string_view slice) {
  if (slice.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  DATE value = 0;
  if (FAILED(qxcom::ParseDateText(slice, &value))) return std::nullopt;
  return value;
}

// The slice read as a date only: its whole days, any time dropped.
std::optional<long> ReadDays(std::u16string_view slice) {
  std::optional<DATE> value = ReadSlice(slice);
  if (!value) return std::nullopt;
  return long(std::trunc(*value));
}

// The slice read as a time only: seconds since midnight, any date dropped.
// The fraction of a negative DATE still counts forward from midnight.
std::optional<long> ReadSeconds(std::u16string_view slice) {
  std::optional<DATE> value = ReadSlice(slice);
  if (!value) return std::nullopt;
  return std::lround(std::fabs(*value - std::trunc(*value)) * kSecondsPerDay);
}

// The seconds that the zone in `text` adds to the time: 0 when the text
// holds a 'Z' or no sign, else the "hh:mm" after the first '+' (or, with no
// '+', after the first '-'), negated for '-'.
std::optional<long> ZoneOffset(std::u16string_view text) {
  if (text.find(u'Z') != std::u16string_view::npos) return 0;
  size_t sign = text.find(u'+');
  if (sign == std::u16string_view::npos) sign = text.find(u'-');
  if (sign == std::u16string_view::npos) return 0;
  std::u16string_view hoursMinutes = text.substr(sign + 1, kOffsetUnits);
  if (hoursMinutes.size() < kOffsetUnits) return std::nullopt;
  std::optional<long> offset =
      ReadSeconds(std::u16string(hoursMinutes) + u":00");
  if (!offset) return std::nullopt;
  return text[sign] == u'+' ? *offset : -*offset;
}

// The DATE of a moment counted in seconds from 1899-12-30 00:00. Before that
// day the DATE is negative but its fraction still counts forward, so the
// time is subtracted from the (negative) day number.
DATE DateOfMoment(long long seconds) {
  long long days = seconds / kSecondsPerDay;
  long long rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    --days;
    rest += kSecondsPerDay;
  }
  DATE time = DATE(rest) / kSecondsPerDay;
  return days >= 0 ? DATE(days) + time : DATE(days) - time;
}

}  // namespace

std::optional<DATE> ParseSchemaDate(std::u16string_view text) {
  if (text.size() < kDateUnits) return std::nullopt;
  std::optional<long> days = ReadDays(text.substr(0, kDateUnits));
  if (!days) return std::nullopt;
  return DATE(*days);
}

std::optional<DATE> ParseSchemaTime(std::u16string_view text) {
  if (text.size() < kTimeUnits) return std::nullopt;
  std::optional<long> seconds = ReadSeconds(text.substr(0, kTimeUnits));
  std::optional<long> offset = ZoneOffset(text);
  if (!seconds || !offset) return std::nullopt;
  long time = *seconds + *offset;
  // A time of day stays below one day: a sum of exactly 24:00 wraps to 0
  // as well, so that 22:00:00+02:00 is midnight and not the next day.
  if (time >= kSecondsPerDay) time -= kSecondsPerDay;
  if (time < 0) time += kSecondsPerDay;
  return DATE(time) / kSecondsPerDay;
}

std::optional<DATE> ParseSchemaDateTime(std::u16string_view text) {
  size_t t = text.find(u'T');
  if (t == std::u16string_view::npos) return std::nullopt;
  std::u16string_view afterT = text.substr(t + 1);
  if (afterT.size() < kTimeUnits) return std::nullopt;
  std::optional<long> days = ReadDays(text.substr(0, t));
  std::optional<long> seconds = ReadSeconds(afterT.substr(0, kTimeUnits));
  std::optional<long> offset = ZoneOffset(afterT);
  if (!days || !seconds || !offset) return std::nullopt;
  // The offset may carry the time past either midnight; the day moves with it.
  return DateOfMoment(*days * (long long)kSecondsPerDay + *seconds + *offset);
}

}  // namespace qxsoap
