// Reading struct objects back in tests.
#include "support/struct_object_reader.h"

#include <cstdio>
#include <cstring>

#include "qxcom/owned.h"

namespace qxsoap::test {
namespace {

std::u16string Number(long long number) {
  const std::string digits = std::to_string(number);
  return {digits.begin(), digits.end()};
}

std::u16string Real(double number) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%.17g", number);
  return {digits, digits + std::strlen(digits)};
}

// One dimension: "ARRAY[a,b]"; more: "ARRAY(n1,n2)[...]" with the stored
// sizes and the elements in storage order.
std::u16string DescribeArray(SAFEARRAY* array, VARTYPE type) {
  if (!array) return u"ARRAY(null)";
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return u"ARRAY?";
  std::u16string text = u"ARRAY";
  size_t count = 1;
  if (array->cDims != 1) text += u"(";
  for (USHORT i = 0; i < array->cDims; ++i) {
    count *= array->rgsabound[i].cElements;
    if (array->cDims != 1) text += (i ? u"," : u"") + Number(array->rgsabound[i].cElements);
  }
  if (array->cDims != 1) text += u")";
  text += u"[";
  for (size_t i = 0; i < count; ++i) {
    const BYTE* element = static_cast<const BYTE*>(data) + i * array->cbElements;
    qxcom::Variant item;
    if (type == VT_VARIANT) {
      VariantCopy(item.get(), reinterpret_cast<const VARIANT*>(element));
    } else if (type == VT_UI1 || type == VT_I4 || type == VT_BSTR) {
      V_VT(item.get()) = type;
      std::memcpy(&V_UI1(item.get()), element, array->cbElements);
      text += (i ? u"," : u"") + Describe(*item.get());
      V_VT(item.get()) = VT_EMPTY;  // borrowed
      continue;
    }
    text += (i ? u"," : u"") + Describe(*item.get());
  }
  SafeArrayUnaccessData(array);
  return text + u"]";
}

}  // namespace

std::u16string Describe(const VARIANT& value) {
  const VARTYPE type = V_VT(&value);
  if (type & VT_ARRAY) return DescribeArray(V_ARRAY(&value), VARTYPE(type & ~VT_ARRAY));
  switch (type) {
    case VT_EMPTY:
      return u"EMPTY";
    case VT_I4:
      return u"I4:" + Number(V_I4(&value));
    case VT_UI1:
      return u"UI1:" + Number(V_UI1(&value));
    case VT_I2:
      return u"I2:" + Number(V_I2(&value));
    case VT_R4:
      return u"R4:" + Real(V_R4(&value));
    case VT_R8:
      return u"R8:" + Real(V_R8(&value));
    case VT_DATE:
      return u"DATE:" + Real(V_DATE(&value));
    case VT_NULL:
      return u"NULL";
    case VT_DECIMAL: {
      qxcom::Variant text;
      if (FAILED(VariantChangeType(text.get(), &value, 0, VT_BSTR))) return u"DECIMAL?";
      return u"DECIMAL:" + std::u16string(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get())));
    }
    case VT_BOOL:
      return u"BOOL:" + Number(V_BOOL(&value));
    case VT_BSTR:
      return u"BSTR:" + std::u16string(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
    case VT_DISPATCH: {
      qxcom::ComPtr<StructObject> nested;
      if (!V_DISPATCH(&value) ||
          FAILED(V_DISPATCH(&value)->QueryInterface(IID_StructObject,
                                                    reinterpret_cast<void**>(nested.put())))) {
        return u"DISPATCH";
      }
      return u"STRUCT{" + Members(*nested.get()) + u"}";
    }
  }
  return u"vt:" + Number(type);
}

std::u16string Members(StructObject& object) {
  std::u16string text;
  VARIANT_BOOL present = VARIANT_FALSE;
  for (LONG index = 0;; ++index) {
    BSTR name = nullptr, namespaceURI = nullptr;
    qxcom::Variant value;
    LONG position = -7;
    const HRESULT hr = index == 0
                           ? object.FirstMember(&name, &namespaceURI, value.get(), &position, &present)
                           : object.NextMember(&name, &namespaceURI, value.get(), &position, &present);
    qxcom::Bstr ownedName(name), ownedNamespace(namespaceURI);
    if (FAILED(hr)) return text + u"!error: failed";
    if (present != VARIANT_TRUE) {
      const bool untouched = !name && !namespaceURI && position == -7 && V_VT(value.get()) == VT_EMPTY;
      return untouched ? text : text + u"!error: written past the end";
    }
    if (position != index) text += u"!error: position " + Number(position) + u"; ";
    if (index > 0) text += u"; ";
    if (SysStringLen(namespaceURI)) text += u"{" + std::u16string(namespaceURI) + u"}";
    text += std::u16string(name, SysStringLen(name)) + u"=" + Describe(*value.get());
  }
}

}  // namespace qxsoap::test
