// The declared shape of an encoded array: the sizes of its dimensions from
// a SOAP 1.1 `arrayType` or a SOAP 1.2 `arraySize`, and the position of the
// first transmitted item from a SOAP 1.1 `offset`. The rules check the
// attribute text while the message is read; the array reader reads the
// shape again from the same attributes when it builds the array.
#ifndef QXSOAP_DECODE_ARRAY_SHAPE_H_
#define QXSOAP_DECODE_ARRAY_SHAPE_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qxsoap {

struct ArrayShape {
  // Sizes in document order, outermost first; 0 for a size not given.
  std::vector<int32_t> sizes{0};
  // The offset of each dimension; only the first may be non-zero.
  std::vector<int32_t> offsets;
  // The number of items the shape declares (after the offset), or -1 when
  // the first size is not given.
  int32_t total = -1;
  std::u16string_view sizeText;    // the last bracket group of arrayType
  std::u16string_view offsetText;  // the offset attribute, whole
};

// Reads the size group of an arrayType value whose QName prefix has been
// resolved: `typeText` is the local part with its brackets ("int[2,3]",
// "string[][4]"). Returns the item type's local name ("int", "string[]").
// Raises the arrayType faults (Sender, `needDetail`); a size or a product of
// sizes beyond 32 bits is refused as well.
std::u16string_view ReadArrayType(std::u16string_view typeText, ArrayShape& shape,
                                  bool needDetail);

// Reads a SOAP 1.2 arraySize value ("3 4", "* 4").
void ReadArraySize(std::u16string_view value, ArrayShape& shape, bool needDetail);

// The size of the first dimension of `shape` when it is not given: the
// `received` items fill whole rows of the inner dimensions, so that no item
// is dropped, and from the first dimension's offset they end at an index a
// LONG holds. Raises the Sender fault otherwise.
size_t OpenFirstSize(const ArrayShape& shape, size_t received, bool needDetail);

// The fault message of items that do not fill the declared size.
inline constexpr std::u16string_view kSizeConflict = u"Array size declared conflicts with actual size.";

// Applies an offset value ("[2]", "[2,0]") to `shape`. For an element that
// refers to its array (`byReference`), only the text is checked: the shape
// it applies to is the referenced element's.
void ReadOffset(std::u16string_view value, bool byReference, ArrayShape& shape, bool needDetail);

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_ARRAY_SHAPE_H_
