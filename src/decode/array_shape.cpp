#include "decode/array_shape.h"

#include <limits>

#include "model/fault_record.h"

namespace qxsoap {
namespace {

constexpr std::u16string_view kNoSize = u"Value of attribute 'arrayType' on element doesn't have size given.";
constexpr std::u16string_view kInnerSizeMissing =
    u"Value of attribute 'arrayType' on element is invalid, size may be unspecified for innermost "
    u"dimension only.";
constexpr std::u16string_view kBadOffset = u"Invalid value for attribute 'offset' or 'arrayType' on element.";
// Our own wording: sizes this large cannot describe an array anyone sends.
constexpr std::u16string_view kTooLarge = u"Value of attribute 'arrayType' on element gives too many items.";

[[noreturn]] void Refuse(std::u16string_view message, bool needDetail) {
  RaiseFault(FaultKind::kSender, std::u16string(message), needDetail);
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The value of the decimal digits that start `text` (0 for none); `text`
// is left after them. A value beyond 32 bits is refused.
int32_t TakeDecimal(std::u16string_view& text, bool needDetail) {
  int64_t value = 0;
  size_t i = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > std::numeric_limits<int32_t>::max()) Refuse(kTooLarge, needDetail);
  }
  text.remove_prefix(i);
  return int32_t(value);
}

int32_t MultiplyTotal(int32_t total, int32_t size, bool needDetail) {
  const int64_t product = int64_t(total) * size;
  if (product > std::numeric_limits<int32_t>::max()) Refuse(kTooLarge, needDetail);
  return int32_t(product);
}

}  // namespace

std::u16string_view ReadArrayType(std::u16string_view typeText, ArrayShape& shape,
                                  bool needDetail) {
  shape.sizes.clear();
  const size_t bracket = typeText.rfind(u'[');
  if (bracket == std::u16string_view::npos) Refuse(kNoSize, needDetail);
  shape.sizeText = typeText.substr(bracket);
  std::u16string_view rest = typeText.substr(bracket + 1);
  const bool firstGiven = !rest.empty() && IsDigit(rest.front());
  int32_t total = TakeDecimal(rest, needDetail);
  shape.sizes.push_back(total);
  while (!rest.empty() && rest.front() == u',') {
    rest.remove_prefix(1);
    if (rest.empty() || !IsDigit(rest.front())) Refuse(kInnerSizeMissing, needDetail);
    const int32_t size = TakeDecimal(rest, needDetail);
    shape.sizes.push_back(size);
    total = MultiplyTotal(total, size, needDetail);
  }
  shape.total = firstGiven ? total : -1;
  return typeText.substr(0, bracket);
}

void ReadArraySize(std::u16string_view value, ArrayShape& shape, bool needDetail) {
  shape.sizes.clear();
  const bool firstGiven = value.empty() || value.front() != u'*';
  if (!firstGiven) value.remove_prefix(1);
  int32_t total = TakeDecimal(value, needDetail);
  shape.sizes.push_back(total);
  while (!value.empty() && value.front() == u' ') {
    value.remove_prefix(1);
    if (!value.empty() && value.front() == u'*') Refuse(kInnerSizeMissing, needDetail);
    const int32_t size = TakeDecimal(value, needDetail);
    shape.sizes.push_back(size);
    total = MultiplyTotal(total, size, needDetail);
  }
  shape.total = firstGiven ? total : -1;
}

// The product of the inner sizes stops growing once it passes the items
// received; sizes are 31-bit, so it cannot overflow.
size_t OpenFirstSize(const ArrayShape& shape, size_t received, bool needDetail) {
  if (received == 0) return 0;
  size_t inner = 1;
  for (size_t i = 1; i < shape.sizes.size() && inner <= received; ++i) inner *= size_t(shape.sizes[i]);
  if (inner == 0) Refuse(kInnerSizeMissing, needDetail);
  if (inner > received || received % inner != 0) Refuse(kSizeConflict, needDetail);
  const size_t first = received / inner;
  const int64_t offset = shape.offsets.empty() ? 0 : shape.offsets.front();
  if (offset + int64_t(first) - 1 > std::numeric_limits<int32_t>::max()) Refuse(kBadOffset, needDetail);
  return first;
}

void ReadOffset(std::u16string_view value, bool byReference, ArrayShape& shape, bool needDetail) {
  shape.offsetText = value;
  const size_t bracket = value.find(u'[');
  if (bracket == std::u16string_view::npos) Refuse(kBadOffset, needDetail);
  std::u16string_view rest = value.substr(bracket + 1);
  if (rest.empty() || !IsDigit(rest.front())) Refuse(kBadOffset, needDetail);
  shape.offsets.assign(1, TakeDecimal(rest, needDetail));
  while (!rest.empty() && rest.front() == u',') {
    rest.remove_prefix(1);
    if (rest.empty() || !IsDigit(rest.front()) || TakeDecimal(rest, needDetail) != 0) {
      Refuse(kBadOffset, needDetail);
    }
    shape.offsets.push_back(0);
  }
  // The offsets are the referenced array's: an element read as an array
  // itself though it refers on must not take them against its own sizes.
  if (byReference) {
    shape.offsets.clear();
    return;
  }
  if (shape.offsets.size() != shape.sizes.size()) Refuse(kBadOffset, needDetail);
  if (shape.total == -1) return;
  int32_t total = 1;
  for (size_t i = 0; i < shape.sizes.size(); ++i) {
    const int32_t left = shape.sizes[i] - shape.offsets[i];
    if (left < 0) Refuse(kBadOffset, needDetail);
    total = MultiplyTotal(total, left, needDetail);
  }
  shape.total = total;
}

}  // namespace qxsoap
