// VariantChangeType and VariantChangeTypeEx. The source is first taken by
// value (VariantCopyInd follows VT_BYREF), then one route is chosen by the
// pair of types: a copy for the same type, the VT_EMPTY/VT_NULL rules,
// interface queries, the SCODE rule, text, or the numeric conversions of
// coerce_number.h, which serve every pair of numeric types and text.
#include <string_view>

#include "platform/coerce_number.h"
#include "platform/coerce_text.h"
#include "platform/variant_types.h"
#include "qxcom/oleauto.h"
#include "qxcom/owned.h"

namespace qxcom {
namespace {

bool IsInterface(VARTYPE type) { return type == VT_UNKNOWN || type == VT_DISPATCH; }

// Windows would read an object's default property (DISPID_VALUE) to turn it
// into a number or text; this platform does not call into objects during a
// coercion, so an object converts only to the other interface type, by
// QueryInterface. A failed query returns its own HRESULT (E_NOINTERFACE).
HRESULT ConvertInterface(const VARIANT& value, VARTYPE type, VARIANT* result) {
  if (!IsInterface(value.vt) || !IsInterface(type)) return DISP_E_TYPEMISMATCH;
  void* converted = nullptr;  // a null reference stays null
  if (value.punkVal != nullptr) {
    const IID& wanted = type == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
    if (HRESULT hr = value.punkVal->QueryInterface(wanted, &converted); FAILED(hr)) return hr;
  }
  if (type == VT_DISPATCH) {
    result->pdispVal = static_cast<IDispatch*>(converted);
  } else {
    result->punkVal = static_cast<IUnknown*>(converted);
  }
  result->vt = type;
  return S_OK;
}

// An SCODE is a LONG: VT_ERROR converts to and from the 32-bit integer
// types bit for bit, and to nothing else, since no other type holds an
// error.
HRESULT ConvertError(const VARIANT& value, VARTYPE type, VARIANT* result) {
  auto holdsScode = [](VARTYPE t) { return t == VT_ERROR || t == VT_I4 || t == VT_UI4; };
  if (!holdsScode(value.vt) || !holdsScode(type)) return DISP_E_TYPEMISMATCH;
  result->lVal = value.lVal;
  result->vt = type;
  return S_OK;
}

HRESULT ConvertToText(const VARIANT& value, VARIANT* result) {
  std::u16string text;
  if (HRESULT hr = FormatVariantText(value, &text); FAILED(hr)) return hr;
  BSTR made = nullptr;
  if (HRESULT hr = TextToBstr(text, &made); FAILED(hr)) return hr;
  result->bstrVal = made;
  result->vt = VT_BSTR;
  return S_OK;
}

HRESULT ConvertNumber(const VARIANT& value, VARTYPE type, VARIANT* result) {
  Number number;
  HRESULT hr = S_OK;
  if (value.vt == VT_BSTR) {
    std::u16string_view text(value.bstrVal, SysStringLen(value.bstrVal));
    hr = ReadNumberFromText(text, type, &number);
  } else {
    hr = ReadNumber(value, &number);
  }
  if (FAILED(hr)) return hr;
  return WriteNumber(number, type, result);
}

// Converts `value` (owned, by value) to `type` into `result` (VT_EMPTY).
// `value` may be moved into `result`.
HRESULT Convert(VARIANT* value, VARTYPE type, VARIANT* result) {
  VARTYPE from = value->vt;
  if (from == type) {
    *result = *value;
    VariantInit(value);
    return S_OK;
  }
  if (from == VT_NULL || type == VT_NULL) {
    if (from != VT_EMPTY) return DISP_E_TYPEMISMATCH;
    result->vt = VT_NULL;
    return S_OK;
  }
  if (type == VT_EMPTY) return S_OK;  // any value but null may be emptied
  if ((from | type) & VT_ARRAY) return DISP_E_TYPEMISMATCH;
  if (IsInterface(from) || IsInterface(type)) return ConvertInterface(*value, type, result);
  if (from == VT_ERROR || type == VT_ERROR) return ConvertError(*value, type, result);
  if (type == VT_BSTR) return ConvertToText(*value, result);
  if (IsNumericTarget(type)) return ConvertNumber(*value, type, result);
  return DISP_E_TYPEMISMATCH;
}

}  // namespace
}  // namespace qxcom

extern "C" {

HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* source, LCID /*locale*/,
                            USHORT /*flags*/, VARTYPE type) {
  if (dest == nullptr || source == nullptr) return E_INVALIDARG;
  if ((type & VT_BYREF) || !qxcom::IsValidVariantType(type)) return DISP_E_BADVARTYPE;
  qxcom::Variant value;
  if (HRESULT hr = VariantCopyInd(value.get(), source); FAILED(hr)) return hr;
  qxcom::Variant result;
  if (HRESULT hr = qxcom::Convert(value.get(), type, result.get()); FAILED(hr)) return hr;
  // Cleared only now: `source` may be `dest`, and a failure leaves it whole.
  if (HRESULT hr = VariantClear(dest); FAILED(hr)) return hr;
  result.Detach(dest);
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* source, USHORT flags, VARTYPE type) {
  return VariantChangeTypeEx(dest, source, LOCALE_INVARIANT, flags, type);
}

}  // extern "C"
