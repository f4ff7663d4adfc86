// Double text against std::to_chars, the shortest round-trip text it must
// match character for character: decimals of up to fifteen digits take a
// quicker way to that text, and every other double the library's own.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "encode/real_text.h"

namespace qxsoap {
namespace {

std::u16string Reference(double value) {
  char buffer[64];
  char* const end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::u16string(buffer, end);
}

std::u16string Written(double value) {
  std::u16string text;
  AppendDoubleText(value, text);
  return text;
}

// Decimals m / 10^k around the fifteen-digit limit and every scale, their
// neighbouring doubles (no short decimal), both signs; integers, powers of
// ten (plain against scientific, with the tie at 0.001) and doubles of any
// bits.
std::vector<double> Samples() {
  std::mt19937_64 random(20261207);
  std::vector<double> values;
  const auto add = [&](double value) {
    for (double signed_ : {value, -value}) {
      values.push_back(signed_);
      values.push_back(std::nextafter(signed_, INFINITY));
      values.push_back(std::nextafter(signed_, -INFINITY));
    }
  };
  for (int scale = 0; scale <= 17; ++scale) {
    const double power = std::pow(10.0, scale);
    for (uint64_t digitsLimit = 10; digitsLimit <= 10'000'000'000'000'000; digitsLimit *= 10) {
      std::uniform_int_distribution<uint64_t> digits(1, digitsLimit + 1000);
      for (int i = 0; i < 300; ++i) add(double(digits(random)) / power);
    }
  }
  for (int exponent = -22; exponent <= 22; ++exponent) add(std::pow(10.0, exponent));
  for (uint64_t integer = 0; integer < 20000; ++integer) add(double(integer) * 997);
  for (int i = 0; i < 100000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (std::isfinite(value)) add(value);
  }
  return values;
}

TEST(DoubleText, IsTheShortestRoundTripTextCharacterForCharacter) {
  const std::vector<double> values = Samples();
  size_t mismatches = 0;
  for (double value : values) {
    const std::u16string written = Written(value);
    if (written == Reference(value)) continue;
    if (++mismatches <= 5) {
      ADD_FAILURE() << "bits " << std::hex << std::bit_cast<uint64_t>(value) << ": wrote "
                    << std::string(written.begin(), written.end()) << ", to_chars writes "
                    << std::string(Reference(value).begin(), Reference(value).end());
    }
  }
  EXPECT_EQ(mismatches, 0u) << "of " << values.size() << " doubles";
}

}  // namespace
}  // namespace qxsoap
