// Built-in text conversions: each special code goes to its own rule; every
// VARTYPE code and booleans go through the platform's string coercion.
#include "decode/simple_text.h"

#include <climits>
#include <optional>

#include "decode/binary_text.h"
#include "decode/date_rules.h"
#include "decode/simple_types.h"
#include "platform/coerce_number.h"
#include "qxcom/owned.h"

namespace qxsoap {
namespace {

// The length-counted copy keeps null units that a terminated copy would cut.
// A BSTR's length is 32-bit: longer text cannot be held.
HRESULT TextAsBstr(std::u16string_view text, qxcom::Variant& value) {
  if (text.size() > UINT_MAX / sizeof(char16_t)) return E_OUTOFMEMORY;
  BSTR copy = SysAllocStringLen(text.data(), UINT(text.size()));
  if (copy == nullptr) return E_OUTOFMEMORY;
  V_VT(value.get()) = VT_BSTR;
  V_BSTR(value.get()) = copy;
  return S_OK;
}

// The platform's coercion of a string to a number or a boolean, the one
// VariantChangeType applies, read straight from the text: no string is made
// and copied on the way.
HRESULT CoercedText(std::u16string_view text, VARTYPE type, qxcom::Variant& value) {
  qxcom::Number number;
  if (HRESULT hr = qxcom::ReadNumberFromText(text, type, &number); FAILED(hr)) return hr;
  return qxcom::WriteNumber(number, type, value.get());
}

HRESULT DateByRule(std::optional<DATE> (*rule)(std::u16string_view), std::u16string_view text,
                   qxcom::Variant& value) {
  std::optional<DATE> date = rule(text);
  if (!date) return DISP_E_TYPEMISMATCH;
  V_VT(value.get()) = VT_DATE;
  V_DATE(value.get()) = *date;
  return S_OK;
}

HRESULT BytesByDecoder(HRESULT (*decoder)(std::u16string_view, SAFEARRAY**),
                       std::u16string_view text, qxcom::Variant& value) {
  SAFEARRAY* bytes = nullptr;
  if (HRESULT hr = decoder(text, &bytes); FAILED(hr)) return hr;
  V_VT(value.get()) = VT_ARRAY | VT_UI1;
  V_ARRAY(value.get()) = bytes;
  return S_OK;
}

HRESULT Convert(uint16_t code, std::u16string_view text, qxcom::Variant& value) {
  // A string coerced to a string is itself: skip the coercion's copy.
  if (code == VT_BSTR) return TextAsBstr(text, value);
  if (code < kAnyType) return CoercedText(text, VARTYPE(code), value);
  switch (code) {
    case kAnyType:
    case kAnyUri:
      return TextAsBstr(text, value);
    case kBoolean:
      return CoercedText(text, VT_BOOL, value);
    case kDate:
      return DateByRule(&ParseSchemaDate, text, value);
    case kTime:
      return DateByRule(&ParseSchemaTime, text, value);
    case kDateTime:
      return DateByRule(&ParseSchemaDateTime, text, value);
    case kBase64:
      return BytesByDecoder(&DecodeBase64Text, text, value);
    case kHexBinary:
      return BytesByDecoder(&DecodeHexText, text, value);
    default:
      return DISP_E_BADVARTYPE;
  }
}

}  // namespace

HRESULT ConvertBuiltInText(uint16_t code, std::u16string_view text, VARIANT* out) {
  VariantInit(out);
  qxcom::Variant value;
  HRESULT hr = Convert(code, text, value);
  if (FAILED(hr)) return hr;  // `value` frees whatever was built
  value.Detach(out);
  return S_OK;
}

}  // namespace qxsoap
