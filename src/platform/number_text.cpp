// Reading and writing numbers and booleans in the invariant coercion locale.
#include "platform/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace qxcom {
namespace {

constexpr std::u16string_view kBlanks = u" \t\r\n\v\f";

// Compares ASCII text with a lower-case word, ignoring the text's case.
template <typename Char>
bool EqualsIgnoringCase(std::basic_string_view<Char> text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    Char unit = text[i];
    if (unit >= 'A' && unit <= 'Z') unit = Char(unit - 'A' + 'a');
    if (unit != Char(lowerWord[i])) return false;
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of a plain decimal number. from_chars would also take
// "infinity" and "nan(...)", which are no numbers of this locale.
bool IsPlainNumberText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    return IsDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
  });
}

bool IsNonFiniteWord(std::string_view text) {
  return EqualsIgnoringCase(text, "inf") || EqualsIgnoringCase(text, "nan");
}

// from_chars reports an overflow and an underflow alike. Decides which one
// `number` (well-formed decimal text) is: true when its integer part is
// not zero.
bool IsBeyondLargest(std::string_view number) {
  DecimalDigits parts;
  ReadDecimalDigits(number, &parts);
  size_t leadingZeros = std::min(parts.digits.find_first_not_of('0'), parts.digits.size());
  return long(parts.digits.size() - leadingZeros) - parts.scale > 0;
}

template <typename Real>
std::u16string FormatShortest(Real value) {
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return std::u16string(text, end);
}

}  // namespace

std::u16string_view TrimBlanks(std::u16string_view text) {
  size_t first = text.find_first_not_of(kBlanks);
  if (first == std::u16string_view::npos) return {};
  size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool ReadDecimalDigits(std::string_view text, DecimalDigits* out) {
  size_t at = 0;
  auto next = [&] { return at < text.size() ? text[at] : '\0'; };
  out->negative = next() == '-';
  if (next() == '-' || next() == '+') ++at;
  bool afterPoint = false;
  for (; at < text.size(); ++at) {
    if (IsDigit(text[at])) {
      out->digits.push_back(text[at]);
      if (afterPoint) ++out->scale;
    } else if (text[at] == '.' && !afterPoint) {
      afterPoint = true;
    } else {
      break;
    }
  }
  if (out->digits.empty()) return false;
  if (next() == 'e' || next() == 'E') {
    ++at;
    bool negativeExponent = next() == '-';
    if (next() == '-' || next() == '+') ++at;
    if (!IsDigit(next())) return false;
    constexpr long kFarBeyondAnyScale = 1'000'000;
    long exponent = 0;
    for (; IsDigit(next()); ++at) {
      exponent = std::min(exponent * 10 + (text[at] - '0'), kFarBeyondAnyScale);
    }
    out->scale += negativeExponent ? exponent : -exponent;
  }
  return at == text.size();
}

bool NarrowAscii(std::u16string_view text, std::string* out) {
  out->resize(text.size());
  char* narrow = out->data();  // one load: stores through a char* may alias the string
  char16_t allUnits = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    allUnits |= text[i];
    narrow[i] = char(text[i]);
  }
  return allUnits <= 0x7F;
}

HRESULT ParseInteger(std::u16string_view text, Int128* value) {
  text = TrimBlanks(text);
  bool negative = !text.empty() && text[0] == u'-';
  if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) text.remove_prefix(1);
  if (text.empty()) return DISP_E_TYPEMISMATCH;
  constexpr UInt128 kLimit = UInt128(1) << 64;
  UInt128 magnitude = 0;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') return DISP_E_TYPEMISMATCH;
    // Past the limit the digits are still checked but no longer counted.
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (unit - u'0');
  }
  if (magnitude > kLimit) return DISP_E_OVERFLOW;
  *value = negative ? -Int128(magnitude) : Int128(magnitude);
  return S_OK;
}

HRESULT ParseReal(std::u16string_view text, double* value) {
  std::string narrow;
  if (!NarrowAscii(TrimBlanks(text), &narrow)) return DISP_E_TYPEMISMATCH;
  std::string_view body = narrow;
  bool negative = !body.empty() && body[0] == '-';
  if (!body.empty() && (body[0] == '-' || body[0] == '+')) body.remove_prefix(1);
  if (body.empty() || body[0] == '-' || body[0] == '+') return DISP_E_TYPEMISMATCH;
  if (!IsPlainNumberText(body) && !IsNonFiniteWord(body)) return DISP_E_TYPEMISMATCH;
  double parsed = 0;
  const char* end = body.data() + body.size();
  auto [stop, error] = std::from_chars(body.data(), end, parsed, std::chars_format::general);
  if (stop != end || error == std::errc::invalid_argument) return DISP_E_TYPEMISMATCH;
  if (error == std::errc::result_out_of_range) {
    if (IsBeyondLargest(body)) return DISP_E_OVERFLOW;
    parsed = 0;
  }
  *value = negative ? -parsed : parsed;
  return S_OK;
}

HRESULT ParseBoolean(std::u16string_view text, bool* value) {
  std::u16string_view word = TrimBlanks(text);
  if (EqualsIgnoringCase(word, "true") || EqualsIgnoringCase(word, "false")) {
    *value = word.size() == 4;
    return S_OK;
  }
  double number = 0;
  if (HRESULT hr = ParseReal(word, &number); FAILED(hr)) return hr;
  *value = number != 0;
  return S_OK;
}

std::u16string FormatInteger(Int128 value) {
  char digits[48];
  char* end = digits + sizeof digits;
  char* first = end;
  UInt128 magnitude = value < 0 ? -UInt128(value) : UInt128(value);
  do {
    *--first = char('0' + int(magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = '-';
  return std::u16string(first, end);
}

std::u16string FormatReal(double value) { return FormatShortest(value); }
std::u16string FormatSingle(float value) { return FormatShortest(value); }

}  // namespace qxcom
