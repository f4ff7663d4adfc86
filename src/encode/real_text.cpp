// Shortest round-trip text from std::to_chars, whose output is the same
// in every locale, with a faster way to the same text for the doubles that
// usually travel: decimals of a few digits.
#include "encode/real_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "encode/ascii_text.h"

namespace qxsoap {
namespace {

// Room for the longest shortest form of a double, "-2.2250738585072014e-308".
constexpr size_t kMaxRealText = 32;

template <typename Real>
std::string_view ShortestText(Real value, char (&buffer)[kMaxRealText]) {
  auto [end, error] = std::to_chars(buffer, buffer + kMaxRealText, value);
  return {buffer, size_t(end - buffer)};
}

// The decimal digits of a double that is a decimal of at most 15
// significant digits, m * 10^-k, found with the least k.
struct ShortDecimal {
  uint64_t digits;  // m, below 10^15
  int scale;        // k, 0 to 15
};

// Finds m and k for |value|, or nullopt. A decimal of at most 15 significant
// digits reads as a double that is written back as the same 15 digits, so
// no other decimal of that length reads as the same double: one that does,
// found with the least scale, is the shortest text of the value. m / 10^k
// is that reading: both are exact doubles, and the quotient is rounded
// once, as a reader rounds the decimal.
std::optional<ShortDecimal> FindShortDecimal(double magnitude) {
  constexpr int kMaxScale = 15;
  constexpr double kDigitsLimit = 1e15;
  constexpr std::array<double, kMaxScale + 1> kPowersOfTen = {
      1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (!(magnitude > 0 && magnitude < kDigitsLimit)) return std::nullopt;
  for (int scale = 0; scale <= kMaxScale; ++scale) {
    const double scaled = magnitude * kPowersOfTen[scale];
    if (scaled >= kDigitsLimit) break;
    const uint64_t digits = uint64_t(scaled + 0.5);  // the nearest integer, any will do
    if (double(digits) / kPowersOfTen[scale] == magnitude) return ShortDecimal{digits, scale};
  }
  return std::nullopt;
}

// Writes the decimal as to_chars writes a double: plain notation when it is
// no longer than scientific notation, whose exponent, here between -15 and
// 14, has two digits ("1e-05", "1.5e+14").
std::string_view WriteShortDecimal(bool negative, ShortDecimal decimal,
                                   char (&buffer)[kMaxRealText]) {
  char digits[16] = {};  // zeroed for GCC 12, which misses that to_chars writes them
  char* const digitsEnd = std::to_chars(digits, std::end(digits), decimal.digits).ptr;
  const int count = int(digitsEnd - digits);
  int significant = count;
  while (significant > 1 && digits[significant - 1] == '0') --significant;
  const int scale = decimal.scale;
  const int plainLength = scale == 0 ? count : count > scale ? count + 1 : scale + 2;
  const int exponent = count - 1 - scale;
  const int scientificLength = significant + (significant > 1 ? 1 : 0) + 4;
  char* out = buffer;
  if (negative) *out++ = '-';
  if (plainLength <= scientificLength) {
    if (scale == 0) {
      out = std::copy(digits, digitsEnd, out);
    } else if (count > scale) {
      out = std::copy(digits, digitsEnd - scale, out);
      *out++ = '.';
      out = std::copy(digitsEnd - scale, digitsEnd, out);
    } else {
      *out++ = '0';
      *out++ = '.';
      out = std::fill_n(out, scale - count, '0');
      out = std::copy(digits, digitsEnd, out);
    }
  } else {
    *out++ = digits[0];
    if (significant > 1) {
      *out++ = '.';
      out = std::copy(digits + 1, digits + significant, out);
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int shown = std::abs(exponent);
    *out++ = char('0' + shown / 10);
    *out++ = char('0' + shown % 10);
  }
  return {buffer, size_t(out - buffer)};
}

// True for NaN and infinities, after appending their XML Schema forms.
template <typename Real>
bool AppendedNonFinite(Real value, std::u16string& text) {
  if (std::isnan(value)) {
    text += u"NaN";
  } else if (std::isinf(value)) {
    text += value < 0 ? u"-INF" : u"INF";
  } else {
    return false;
  }
  return true;
}

bool ReadsBackThroughDouble(std::string_view digits, float value) {
  double read = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), read);
  return float(read) == value;
}

}  // namespace

void AppendDoubleText(double value, std::u16string& text) {
  if (AppendedNonFinite(value, text)) return;
  char buffer[kMaxRealText];
  const std::optional<ShortDecimal> decimal = FindShortDecimal(std::fabs(value));
  AppendAscii(decimal ? WriteShortDecimal(std::signbit(value), *decimal, buffer)
                      : ShortestText(value, buffer),
              text);
}

void AppendFloatText(float value, std::u16string& text) {
  if (AppendedNonFinite(value, text)) return;
  char buffer[kMaxRealText];
  std::string_view digits = ShortestText(value, buffer);
  if (!ReadsBackThroughDouble(digits, value)) digits = ShortestText(double(value), buffer);
  AppendAscii(digits, text);
}

}  // namespace qxsoap
