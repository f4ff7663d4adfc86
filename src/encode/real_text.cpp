// Shortest round-trip text from std::to_chars, whose output is the same
// in every locale.
#include "encode/real_text.h"

#include <charconv>
#include <cmath>
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
  AppendAscii(ShortestText(value, buffer), text);
}

void AppendFloatText(float value, std::u16string& text) {
  if (AppendedNonFinite(value, text)) return;
  char buffer[kMaxRealText];
  std::string_view digits = ShortestText(value, buffer);
  if (!ReadsBackThroughDouble(digits, value)) digits = ShortestText(double(value), buffer);
  AppendAscii(digits, text);
}

}  // namespace qxsoap
