// The single-value conversions of OLE Automation that qxsoap calls directly:
// a date from text, an unsigned 32-bit integer from text, a date as text.
#include "platform/coerce_number.h"
#include "platform/coerce_text.h"
#include "platform/date_text.h"
#include "qxcom/oleauto.h"

extern "C" {

HRESULT VarDateFromStr(LPCOLESTR text, LCID /*locale*/, ULONG /*flags*/, DATE* result) {
  if (text == nullptr || result == nullptr) return E_INVALIDARG;
  return qxcom::ParseDateText(text, result);
}

HRESULT VarUI4FromStr(LPCOLESTR text, LCID /*locale*/, ULONG /*flags*/, ULONG* result) {
  if (text == nullptr || result == nullptr) return E_INVALIDARG;
  qxcom::Number number;
  if (HRESULT hr = qxcom::ReadNumberFromText(text, VT_UI4, &number); FAILED(hr)) return hr;
  VARIANT value;
  if (HRESULT hr = qxcom::WriteNumber(number, VT_UI4, &value); FAILED(hr)) return hr;
  *result = value.ulVal;
  return S_OK;
}

HRESULT VarBstrFromDate(DATE value, LCID /*locale*/, ULONG /*flags*/, BSTR* result) {
  if (result == nullptr) return E_INVALIDARG;
  *result = nullptr;
  std::u16string text;
  if (HRESULT hr = qxcom::FormatDateText(value, &text); FAILED(hr)) return hr;
  return qxcom::TextToBstr(text, result);
}

}  // extern "C"
