// Builders and readers of BSTRs and VARIANTs shared by the platform tests.
#ifndef QXSOAP_TESTS_PLATFORM_VALUES_H_
#define QXSOAP_TESTS_PLATFORM_VALUES_H_

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "qxcom.h"

namespace platform_test {

inline std::u16string Chars(BSTR text) { return std::u16string(text, SysStringLen(text)); }

// VARIANTs that own their values, of one type each.
inline qxcom::Variant Of(VARTYPE type) {
  qxcom::Variant value;
  value->vt = type;
  return value;
}
inline qxcom::Variant Real(double n) { qxcom::Variant v = Of(VT_R8); v->dblVal = n; return v; }
inline qxcom::Variant Single(float n) { qxcom::Variant v = Of(VT_R4); v->fltVal = n; return v; }
inline qxcom::Variant Long(LONG n) { qxcom::Variant v = Of(VT_I4); v->lVal = n; return v; }
inline qxcom::Variant Text(std::u16string_view text) {
  qxcom::Variant v = Of(VT_BSTR);
  v->bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
  return v;
}

// The braced text form of a GUID.
inline std::u16string Braced(REFGUID guid) {
  OLECHAR text[39];
  EXPECT_EQ(StringFromGUID2(guid, text, 39), 39);
  return text;
}

inline std::u16string TextOf(const qxcom::Variant& value) { return Chars(value->bstrVal); }

// Converts `source` into *result (freeing what it held).
inline HRESULT Change(const qxcom::Variant& source, VARTYPE type, qxcom::Variant* result) {
  return VariantChangeType(result->get(), source.get(), 0, type);
}

// Converts `text` to `type` into *result and checks the HRESULT; true when
// the conversion succeeded, so that the result can be read.
inline bool FromText(std::u16string_view text, VARTYPE type, HRESULT expected,
                     qxcom::Variant* result) {
  HRESULT hr = Change(Text(text), type, result);
  EXPECT_EQ(hr, expected);
  if (FAILED(hr)) {
    EXPECT_EQ((*result)->vt, VT_EMPTY) << "a failure leaves the destination alone";
  }
  return hr == S_OK && expected == S_OK;
}

// Converts to text through VT_BSTR; "<failed>" when the conversion fails.
inline std::u16string AsText(const qxcom::Variant& source) {
  qxcom::Variant text;
  if (FAILED(Change(source, VT_BSTR, &text))) return u"<failed>";
  return TextOf(text);
}

// A row's text narrowed unit by unit, for SCOPED_TRACE.
inline std::string Trace(std::u16string_view text) { return std::string(text.begin(), text.end()); }

}  // namespace platform_test

#endif  // QXSOAP_TESTS_PLATFORM_VALUES_H_
