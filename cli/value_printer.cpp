// Values printed by shape: scalars through the serializer's own text forms
// (so a number prints as it travelled), arrays element by element, structs
// member by member through the struct interface.
#include "value_printer.h"

#include <string_view>
#include <vector>

#include "encode/value_text.h"
#include "qxcom/owned.h"
#include "qxsoap/struct_object.h"

namespace qxsoap::cli {
namespace {

void AppendUnprintable(VARTYPE vt, std::u16string& text) {
  text += u"<VT ";
  for (char digit : std::to_string(vt)) text += char16_t(digit);
  text += u">";
}

// Appends element `indices` of `array` (an array of `vt`) as a value.
void AppendElement(SAFEARRAY* array, VARTYPE vt, std::vector<LONG>& indices, std::u16string& text) {
  qxcom::Variant element;
  // A DECIMAL fills the whole VARIANT, its type field included, so the type
  // is set after the copy; every other element lands in the value union.
  void* slot = vt == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(element.get())) : &V_UI1(element.get());
  if (vt == VT_VARIANT) slot = element.get();
  if (FAILED(SafeArrayGetElement(array, indices.data(), slot))) return AppendUnprintable(vt, text);
  if (vt != VT_VARIANT) V_VT(element.get()) = vt;
  AppendValueForPrinting(*element.get(), text);
}

// Appends the rows of dimension `dimension` (0 is the leftmost) at the
// indices fixed so far.
void AppendDimension(SAFEARRAY* array, VARTYPE vt, UINT dimension, std::vector<LONG>& indices,
                     std::u16string& text) {
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, dimension + 1, &lower);
  SafeArrayGetUBound(array, dimension + 1, &upper);
  text += u"[";
  // Counted in 64 bits: the last index may be the largest a LONG holds.
  for (int64_t index = lower; index <= upper; ++index) {
    if (index != lower) text += u", ";
    indices[dimension] = LONG(index);
    if (dimension + 1 < indices.size()) {
      AppendDimension(array, vt, dimension + 1, indices, text);
    } else {
      AppendElement(array, vt, indices, text);
    }
  }
  text += u"]";
}

void AppendArray(SAFEARRAY* array, VARTYPE vt, std::u16string& text) {
  if (!array) return void(text += u"[]");
  std::vector<LONG> indices(SafeArrayGetDim(array), 0);
  if (indices.empty()) return void(text += u"[]");
  AppendDimension(array, vt, 0, indices, text);
}

void AppendStruct(StructObject& object, std::u16string& text) {
  text += u"{";
  BSTR name = nullptr, ns = nullptr;
  qxcom::Variant value;
  LONG position = 0;
  VARIANT_BOOL present = VARIANT_FALSE;
  bool first = true;
  for (object.FirstMember(&name, &ns, value.get(), &position, &present); present == VARIANT_TRUE;
       object.NextMember(&name, &ns, value.get(), &position, &present)) {
    const qxcom::Bstr ownedName(name), ownedNs(ns);
    if (!first) text += u", ";
    first = false;
    text.append(name ? name : u"", SysStringLen(name));
    text += u": ";
    AppendValueForPrinting(*value.get(), text);
  }
  text += u"}";
}

void AppendObject(IUnknown* object, std::u16string& text) {
  qxcom::ComPtr<StructObject> members;
  if (!object || FAILED(object->QueryInterface(IID_StructObject, reinterpret_cast<void**>(members.put())))) {
    return AppendUnprintable(VT_DISPATCH, text);
  }
  AppendStruct(*members.get(), text);
}

// The serializer's text form for the value: by its VARTYPE, dates and bytes
// by the type when it is one of theirs.
uint16_t TextForm(VARTYPE vt, uint16_t typeCode) {
  if (vt == VT_DATE) return typeCode == kDate || typeCode == kTime ? typeCode : kDateTime;
  if (vt == (VT_ARRAY | VT_UI1)) return typeCode == kHexBinary ? kHexBinary : kBase64;
  return vt;
}

void AppendScalar(const VARIANT& value, uint16_t typeCode, std::u16string& text) {
  if (FAILED(AppendValueText(TextForm(value.vt, typeCode), value, text))) AppendUnprintable(value.vt, text);
}

}  // namespace

void AppendValueForPrinting(const VARIANT& value, std::u16string& text, uint16_t typeCode) {
  if (value.vt & VT_BYREF) {
    qxcom::Variant copy;
    if (FAILED(VariantCopyInd(copy.get(), &value))) return AppendUnprintable(value.vt, text);
    return AppendValueForPrinting(*copy.get(), text, typeCode);
  }
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      text += u"nil";
      return;
    case VT_BOOL:
      text += V_BOOL(&value) ? u"true" : u"false";
      return;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return AppendObject(V_UNKNOWN(&value), text);
    default:
      break;
  }
  const bool bytes = value.vt == (VT_ARRAY | VT_UI1) && (!V_ARRAY(&value) || SafeArrayGetDim(V_ARRAY(&value)) == 1);
  if ((value.vt & VT_ARRAY) && !bytes) return AppendArray(V_ARRAY(&value), VARTYPE(value.vt & ~VT_ARRAY), text);
  AppendScalar(value, typeCode, text);
}

}  // namespace qxsoap::cli
