// Reading struct objects back in tests.
#include "support/struct_object_reader.h"

#include "qxcom/owned.h"

namespace qxsoap::test {
namespace {

std::u16string Number(long long number) {
  const std::string digits = std::to_string(number);
  return {digits.begin(), digits.end()};
}

std::u16string DescribeArray(SAFEARRAY* array, VARTYPE type) {
  LONG lower = 0, upper = -1;
  if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper))) {
    return u"ARRAY?";
  }
  std::u16string text = u"ARRAY[";
  for (LONG i = lower; i <= upper; ++i) {
    qxcom::Variant element;
    if (type == VT_VARIANT) {
      SafeArrayGetElement(array, &i, element.get());
    } else {
      V_VT(element.get()) = type;
      SafeArrayGetElement(array, &i, &V_UI1(element.get()));
    }
    text += (i > lower ? u"," : u"") + Describe(*element.get());
  }
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
