// Values written as text for the VT_BSTR target of VariantChangeType.
#include "platform/coerce_text.h"

#include "platform/coerce_number.h"
#include "platform/date_text.h"
#include "platform/decimal.h"
#include "qxcom/oleauto.h"

namespace qxcom {

HRESULT FormatVariantText(const VARIANT& source, std::u16string* text) {
  switch (source.vt) {
    case VT_EMPTY:
      text->clear();
      return S_OK;
    case VT_BOOL:
      *text = source.boolVal ? u"True" : u"False";
      return S_OK;
    case VT_R4:
      *text = FormatSingle(source.fltVal);
      return S_OK;
    case VT_R8:
      *text = FormatReal(source.dblVal);
      return S_OK;
    case VT_DATE:
      return FormatDateText(source.date, text);
    default:
      break;
  }
  // What is left with a text form reads as an integer or a decimal.
  Number number;
  if (HRESULT hr = ReadNumber(source, &number); FAILED(hr)) return hr;
  *text = number.form == Number::Form::kDecimal ? DecimalToText(number.decimal)
                                                : FormatInteger(number.integer);
  return S_OK;
}

HRESULT TextToBstr(std::u16string_view text, BSTR* result) {
  *result = SysAllocStringLen(text.data(), UINT(text.size()));
  return *result == nullptr ? E_OUTOFMEMORY : S_OK;
}

}  // namespace qxcom
