// The VARIANT type table: which base types exist and their element sizes.
#include "platform/variant_types.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace qxcom {
namespace {

struct BaseType {
  VARTYPE vt;
  ULONG size;         // bytes of one array element
  bool standsAlone;   // may appear without VT_ARRAY or VT_BYREF
};

constexpr BaseType kBaseTypes[] = {
    {VT_EMPTY, 0, true},
    {VT_NULL, 0, true},
    {VT_I2, sizeof(SHORT), true},
    {VT_I4, sizeof(LONG), true},
    {VT_R4, sizeof(FLOAT), true},
    {VT_R8, sizeof(DOUBLE), true},
    {VT_CY, sizeof(CY), true},
    {VT_DATE, sizeof(DATE), true},
    {VT_BSTR, sizeof(BSTR), true},
    {VT_DISPATCH, sizeof(IDispatch*), true},
    {VT_ERROR, sizeof(SCODE), true},
    {VT_BOOL, sizeof(VARIANT_BOOL), true},
    {VT_VARIANT, sizeof(VARIANT), false},  // a VARIANT holds another only by reference or in an array
    {VT_UNKNOWN, sizeof(IUnknown*), true},
    {VT_DECIMAL, sizeof(DECIMAL), true},
    {VT_I1, sizeof(CHAR), true},
    {VT_UI1, sizeof(BYTE), true},
    {VT_UI2, sizeof(USHORT), true},
    {VT_UI4, sizeof(ULONG), true},
    {VT_I8, sizeof(LONGLONG), true},
    {VT_UI8, sizeof(ULONGLONG), true},
    {VT_INT, sizeof(INT), true},
    {VT_UINT, sizeof(UINT), true},
};

// The position of each base type in kBaseTypes, by VARTYPE: every value
// is checked and every VARIANT cleared through this table.
constexpr VARTYPE kLargestBaseType = [] {
  VARTYPE largest = 0;
  for (const BaseType& type : kBaseTypes) largest = std::max(largest, type.vt);
  return largest;
}();
constexpr int8_t kNotABaseType = -1;
constexpr std::array<int8_t, kLargestBaseType + 1> kBaseTypeIndex = [] {
  std::array<int8_t, kLargestBaseType + 1> index{};
  index.fill(kNotABaseType);
  for (size_t i = 0; i < std::size(kBaseTypes); ++i) index[kBaseTypes[i].vt] = int8_t(i);
  return index;
}();

const BaseType* FindBaseType(VARTYPE base) {
  if (base > kLargestBaseType || kBaseTypeIndex[base] == kNotABaseType) return nullptr;
  return &kBaseTypes[kBaseTypeIndex[base]];
}

}  // namespace

bool IsValidVariantType(VARTYPE vt) {
  if (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) return false;
  const BaseType* base = FindBaseType(vt & VT_TYPEMASK);
  if (base == nullptr) return false;
  bool modified = (vt & (VT_ARRAY | VT_BYREF)) != 0;
  if (!modified) return base->standsAlone;
  // Empty and null are values without storage: nothing to point at or to array.
  return base->vt != VT_EMPTY && base->vt != VT_NULL;
}

ULONG ArrayElementSize(VARTYPE vt) {
  const BaseType* base = FindBaseType(vt);
  return base == nullptr ? 0 : base->size;
}

}  // namespace qxcom
