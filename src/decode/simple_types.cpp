// Type-name lookup. It runs once per accessor, so the rows are grouped by
// name length at compile time: a lookup checks the length, then compares
// the first unit and the whole name of at most five rows.
#include "decode/simple_types.h"

#include <algorithm>

namespace qxsoap {
namespace {

constexpr size_t LongestName() {
  size_t longest = 0;
  for (const SimpleTypeRow& row : kSimpleTypes) longest = std::max(longest, row.localName.size());
  return longest;
}

constexpr size_t kLongestName = LongestName();
constexpr size_t kMaxRowsPerLength = 5;  // "integer", "decimal", "anyType", "ur-type", "boolean"

// The indices into kSimpleTypes of the rows of each name length.
struct LengthBucket {
  uint8_t count = 0;
  std::array<uint8_t, kMaxRowsPerLength> rows{};
};

constexpr std::array<LengthBucket, kLongestName + 1> kBucketsByLength = [] {
  std::array<LengthBucket, kLongestName + 1> buckets{};
  for (size_t i = 0; i < kSimpleTypes.size(); ++i) {
    LengthBucket& bucket = buckets[kSimpleTypes[i].localName.size()];
    bucket.rows[bucket.count++] = uint8_t(i);  // overflowing `rows` fails to compile
  }
  return buckets;
}();

}  // namespace

std::optional<uint16_t> LookUpSimpleType(std::u16string_view localName) {
  if (localName.size() > kLongestName) return std::nullopt;
  const LengthBucket& bucket = kBucketsByLength[localName.size()];
  for (uint8_t i = 0; i < bucket.count; ++i) {
    const SimpleTypeRow& row = kSimpleTypes[bucket.rows[i]];
    if (row.localName[0] == localName[0] && row.localName == localName) return row.code;
  }
  return std::nullopt;
}

}  // namespace qxsoap
