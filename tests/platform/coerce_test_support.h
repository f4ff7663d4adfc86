// Builders and readers of VARIANTs for the coercion tests.
#ifndef QXSOAP_TESTS_PLATFORM_COERCE_TEST_SUPPORT_H_
#define QXSOAP_TESTS_PLATFORM_COERCE_TEST_SUPPORT_H_

#include <string>
#include <string_view>

#include "qxcom/oleauto.h"
#include "qxcom/owned.h"

namespace coerce_test {

inline qxcom::Variant Text(std::u16string_view text) {
  qxcom::Variant value;
  value->bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
  value->vt = VT_BSTR;
  return value;
}

inline qxcom::Variant Real(double number) {
  qxcom::Variant value;
  value->dblVal = number;
  value->vt = VT_R8;
  return value;
}

inline qxcom::Variant Single(float number) {
  qxcom::Variant value;
  value->fltVal = number;
  value->vt = VT_R4;
  return value;
}

inline qxcom::Variant Long(LONG number) {
  qxcom::Variant value;
  value->lVal = number;
  value->vt = VT_I4;
  return value;
}

inline qxcom::Variant Of(VARTYPE type) {
  qxcom::Variant value;
  value->vt = type;
  return value;
}

inline std::u16string TextOf(const qxcom::Variant& value) {
  return std::u16string(value->bstrVal, SysStringLen(value->bstrVal));
}

// Converts `source` into a fresh VARIANT.
inline HRESULT Change(const qxcom::Variant& source, VARTYPE type, qxcom::Variant* result) {
  return VariantChangeType(result->get(), source.get(), 0, type);
}

// Converts to text through VT_BSTR; "<failed>" when the conversion fails.
inline std::u16string AsText(const qxcom::Variant& source) {
  qxcom::Variant text;
  if (FAILED(Change(source, VT_BSTR, &text))) return u"<failed>";
  return TextOf(text);
}

}  // namespace coerce_test

#endif  // QXSOAP_TESTS_PLATFORM_COERCE_TEST_SUPPORT_H_
