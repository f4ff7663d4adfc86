// DECIMAL arithmetic on a 128-bit integer: the 96-bit magnitude and every
// product of it with a power of ten up to 10^28 fit without overflow.
#include "platform/decimal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qxcom {
namespace {

constexpr long kMaxScale = 28;
constexpr long kMaxDigits = 29;  // 2^96 has 29 decimal digits
constexpr UInt128 kMagnitudeLimit = UInt128(1) << 96;
constexpr int kCurrencyScale = 4;

UInt128 MagnitudeOf(const DECIMAL& value) { return (UInt128(value.Hi32) << 64) | value.Lo64; }

DECIMAL MakeDecimal(UInt128 magnitude, long scale, bool negative) {
  DECIMAL result{};
  result.Lo64 = uint64_t(magnitude);
  result.Hi32 = ULONG(magnitude >> 64);
  result.scale = BYTE(scale);
  result.sign = negative && magnitude != 0 ? DECIMAL_NEG : 0;
  return result;
}

UInt128 PowerOfTen(long exponent) {
  UInt128 power = 1;
  while (exponent-- > 0) power *= 10;
  return power;
}

UInt128 DivideRoundingHalfEven(UInt128 dividend, UInt128 divisor) {
  UInt128 quotient = dividend / divisor;
  UInt128 twiceRemainder = dividend % divisor * 2;
  if (twiceRemainder > divisor || (twiceRemainder == divisor && (quotient & 1) != 0)) ++quotient;
  return quotient;
}

UInt128 DigitsValue(std::string_view digits) {
  UInt128 value = 0;
  for (char digit : digits) value = value * 10 + UInt128(digit - '0');
  return value;
}

// Whether dropping digits[kept..] from a number whose kept digits are worth
// `keptValue` rounds up, half to even. A negative `kept` means the dropped
// part starts with zeros that were never written.
bool DroppedPartRoundsUp(std::string_view digits, long kept, UInt128 keptValue) {
  if (kept < 0 || size_t(kept) >= digits.size()) return false;
  char first = digits[kept];
  if (first != '5') return first > '5';
  bool moreAfterHalf = digits.find_first_not_of('0', kept + 1) != std::string_view::npos;
  return moreAfterHalf || (keptValue & 1) != 0;
}

HRESULT DecimalFromDigits(DecimalDigits number, DECIMAL* result) {
  std::string& digits = number.digits;
  digits.erase(0, digits.find_first_not_of('0'));
  if (digits.empty()) {
    *result = MakeDecimal(0, 0, false);
    return S_OK;
  }
  long scale = number.scale;
  if (scale < 0) {
    if (long(digits.size()) - scale > kMaxDigits) return DISP_E_OVERFLOW;
    digits.append(size_t(-scale), '0');
    scale = 0;
  }
  long count = long(digits.size());
  long drop = std::max({0L, scale - kMaxScale, count - kMaxDigits});
  bool keptExceed96Bits = count - drop == kMaxDigits &&
                          DigitsValue(digits.substr(0, kMaxDigits)) >= kMagnitudeLimit;
  if (keptExceed96Bits) ++drop;
  if (drop > scale) return DISP_E_OVERFLOW;  // the integer part alone needs more than 96 bits
  long kept = count - drop;
  UInt128 magnitude = kept > 0 ? DigitsValue(std::string_view(digits).substr(0, size_t(kept))) : 0;
  if (DroppedPartRoundsUp(digits, kept, magnitude)) ++magnitude;
  scale -= drop;
  if (magnitude == kMagnitudeLimit) {
    if (scale == 0) return DISP_E_OVERFLOW;
    magnitude = DivideRoundingHalfEven(magnitude, 10);
    --scale;
  }
  *result = MakeDecimal(magnitude, scale, number.negative);
  return S_OK;
}

}  // namespace

bool IsValidDecimal(const DECIMAL& value) {
  return value.scale <= kMaxScale && (value.sign == 0 || value.sign == DECIMAL_NEG);
}

bool IsZeroDecimal(const DECIMAL& value) { return MagnitudeOf(value) == 0; }

HRESULT DecimalFromInteger(Int128 value, DECIMAL* result) {
  UInt128 magnitude = value < 0 ? -UInt128(value) : UInt128(value);
  if (magnitude >= kMagnitudeLimit) return DISP_E_OVERFLOW;
  *result = MakeDecimal(magnitude, 0, value < 0);
  return S_OK;
}

Int128 DecimalToInteger(const DECIMAL& value) {
  Int128 rounded = Int128(DivideRoundingHalfEven(MagnitudeOf(value), PowerOfTen(value.scale)));
  return value.sign ? -rounded : rounded;
}

DECIMAL DecimalFromCurrency(LONGLONG currency) {
  UInt128 magnitude = currency < 0 ? -UInt128(currency) : UInt128(currency);
  return MakeDecimal(magnitude, kCurrencyScale, currency < 0);
}

HRESULT DecimalToCurrency(const DECIMAL& value, LONGLONG* result) {
  UInt128 magnitude = MagnitudeOf(value);
  if (value.scale <= kCurrencyScale) {
    magnitude *= PowerOfTen(kCurrencyScale - value.scale);
  } else {
    magnitude = DivideRoundingHalfEven(magnitude, PowerOfTen(value.scale - kCurrencyScale));
  }
  constexpr UInt128 kLargestPositive = UInt128(std::numeric_limits<LONGLONG>::max());
  if (magnitude > kLargestPositive + (value.sign ? 1 : 0)) return DISP_E_OVERFLOW;
  *result = value.sign ? LONGLONG(-Int128(magnitude)) : LONGLONG(magnitude);
  return S_OK;
}

HRESULT DecimalFromText(std::u16string_view text, DECIMAL* result) {
  std::string narrow;
  DecimalDigits number;
  if (!NarrowAscii(TrimBlanks(text), &narrow) || !ReadDecimalDigits(narrow, &number)) {
    return DISP_E_TYPEMISMATCH;
  }
  return DecimalFromDigits(std::move(number), result);
}

std::u16string DecimalToText(const DECIMAL& value) {
  std::u16string text = FormatInteger(Int128(MagnitudeOf(value)));
  size_t scale = value.scale;
  if (scale > 0) {
    if (text.size() <= scale) text.insert(0, scale - text.size() + 1, u'0');
    text.insert(text.size() - scale, 1, u'.');
    text.erase(text.find_last_not_of(u'0') + 1);
    if (text.back() == u'.') text.pop_back();
  }
  if (value.sign && !IsZeroDecimal(value)) text.insert(0, 1, u'-');
  return text;
}

HRESULT DecimalFromReal(double value, bool single, DECIMAL* result) {
  if (!std::isfinite(value)) return DISP_E_OVERFLOW;
  return DecimalFromText(single ? FormatSingle(float(value)) : FormatReal(value), result);
}

double DecimalToReal(const DECIMAL& value) {
  double result = 0;
  ParseReal(DecimalToText(value), &result);  // the text of a DECIMAL always reads
  return result;
}

}  // namespace qxcom
