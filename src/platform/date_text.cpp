// Reading and writing DATE text: a small scanner over the ASCII text for
// the ISO 8601 forms, the calendar work left to date.cpp.
#include "platform/date_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/date.h"
#include "platform/number_text.h"

namespace qxcom {
namespace {

class DateScanner {
 public:
  explicit DateScanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return at_ == text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[at_]; }

  bool Accept(char expected) {
    if (Peek() != expected) return false;
    ++at_;
    return true;
  }

  // Reads `minDigits` to `maxDigits` decimal digits into *value.
  bool ReadNumber(size_t minDigits, size_t maxDigits, int* value) {
    size_t start = at_;
    *value = 0;
    while (at_ - start < maxDigits && IsDigit(Peek())) *value = *value * 10 + (text_[at_++] - '0');
    return at_ - start >= minDigits;
  }

  // Reads the digits of a fraction after the decimal point. Digits past the
  // ninth are read but not counted: a DATE cannot hold them, and a long run
  // of nines must not add up to a whole second.
  bool ReadFraction(double* fraction) {
    constexpr size_t kCountedDigits = 9;
    size_t start = at_;
    int counted = 0;
    for (; IsDigit(Peek()); ++at_) {
      if (at_ - start < kCountedDigits) counted = counted * 10 + (text_[at_] - '0');
    }
    size_t digits = std::min(at_ - start, kCountedDigits);
    *fraction = counted / std::pow(10.0, double(digits));
    return at_ > start;
  }

  // True when the leading run of digits is followed by `separator`.
  bool DigitsThen(char separator) const {
    size_t end = at_;
    while (end < text_.size() && IsDigit(text_[end])) ++end;
    return end != at_ && end < text_.size() && text_[end] == separator;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  std::string_view text_;
  size_t at_ = 0;
};

bool ReadCalendarDate(DateScanner& scanner, DateFields* fields) {
  constexpr size_t kYearDigitsBeyondRange = 9;  // a long year reads, then fails the range
  return scanner.ReadNumber(1, kYearDigitsBeyondRange, &fields->year) && scanner.Accept('-') &&
         scanner.ReadNumber(1, 2, &fields->month) && scanner.Accept('-') &&
         scanner.ReadNumber(1, 2, &fields->day);
}

bool ReadTimeOfDay(DateScanner& scanner, DateFields* fields) {
  if (!scanner.ReadNumber(1, 2, &fields->hour) || !scanner.Accept(':') ||
      !scanner.ReadNumber(2, 2, &fields->minute)) {
    return false;
  }
  if (!scanner.Accept(':')) return true;
  if (!scanner.ReadNumber(2, 2, &fields->second)) return false;
  return !scanner.Accept('.') || scanner.ReadFraction(&fields->secondFraction);
}

bool ReadDateText(std::string_view text, DateFields* fields) {
  DateScanner scanner(text);
  if (scanner.DigitsThen('-')) {
    if (!ReadCalendarDate(scanner, fields)) return false;
    if (scanner.AtEnd()) return true;
    if (!scanner.Accept(' ') && !scanner.Accept('T')) return false;
  }
  return ReadTimeOfDay(scanner, fields) && scanner.AtEnd();
}

}  // namespace

HRESULT ParseDateText(std::u16string_view text, double* date) {
  std::string narrow;
  DateFields fields;
  if (!NarrowAscii(TrimBlanks(text), &narrow) || !ReadDateText(narrow, &fields)) {
    return DISP_E_TYPEMISMATCH;
  }
  return DateFromFields(fields, date);
}

HRESULT FormatDateText(double date, std::u16string* text) {
  DateFields f;
  if (HRESULT hr = FieldsFromDate(date, &f); FAILED(hr)) return hr;
  bool onDayZero = f.year == 1899 && f.month == 12 && f.day == 30;
  bool atMidnight = f.hour == 0 && f.minute == 0 && f.second == 0;
  char buffer[32];
  int length = 0;
  if (onDayZero) {
    length = std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", f.hour, f.minute, f.second);
  } else if (atMidnight) {
    length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", f.year, f.month, f.day);
  } else {
    length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month,
                           f.day, f.hour, f.minute, f.second);
  }
  text->assign(buffer, buffer + length);
  return S_OK;
}

}  // namespace qxcom
