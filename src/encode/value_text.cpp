// Value text by type code: the special codes each check the VARTYPE they
// format and call their formatter; under a VARTYPE code a value goes
// through the platform's conversion to text, floating point excepted.
#include "encode/value_text.h"

#include <charconv>
#include <iterator>
#include <new>
#include <span>
#include <stdexcept>

#include "decode/simple_types.h"
#include "encode/ascii_text.h"
#include "encode/binary_encoding.h"
#include "encode/date_text.h"
#include "encode/real_text.h"
#include "qxcom/owned.h"

namespace qxsoap {
namespace {

void AppendBstr(BSTR string, std::u16string& text) { text.append(string, SysStringLen(string)); }

// An integer in decimal, as the conversion to text writes it, without the
// string the conversion allocates.
template <typename Integer>
void AppendInteger(Integer number, std::u16string& text) {
  char digits[24] = {};  // zeroed for GCC 12, which misses that to_chars writes them
  const char* end = std::to_chars(digits, std::end(digits), number).ptr;
  AppendAscii({digits, size_t(end - digits)}, text);
}

// Holds an array's data locked while the bytes are read, exceptions included.
class LockedData {
 public:
  explicit LockedData(SAFEARRAY* array) : array_(array) {
    result_ = SafeArrayAccessData(array_, &data_);
  }
  ~LockedData() {
    if (SUCCEEDED(result_)) SafeArrayUnaccessData(array_);
  }
  LockedData(const LockedData&) = delete;
  LockedData& operator=(const LockedData&) = delete;
  HRESULT result() const { return result_; }
  const BYTE* bytes() const { return static_cast<const BYTE*>(data_); }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
  HRESULT result_;
};

// Calls `use` with the bytes of a one-dimensional VT_ARRAY | VT_UI1, held
// locked while it runs; a null array calls nothing.
template <typename Use>
HRESULT WithBytes(const VARIANT& value, Use&& use) {
  if (value.vt != (VT_ARRAY | VT_UI1)) return DISP_E_TYPEMISMATCH;
  SAFEARRAY* array = value.parray;
  if (array == nullptr) return S_OK;  // an array never dimensioned, as Visual Basic passes one
  // Bytes are a vector: an array of more dimensions, or of wider elements
  // under a byte tag, is not read as one.
  if (SafeArrayGetDim(array) != 1 || array->cbElements != 1) return DISP_E_TYPEMISMATCH;
  LockedData data(array);
  if (FAILED(data.result())) return data.result();
  use(std::span<const BYTE>(data.bytes(), array->rgsabound[0].cElements));
  return S_OK;
}

HRESULT AppendDate(DateForm form, const VARIANT& value, std::u16string& text) {
  if (value.vt != VT_DATE) return DISP_E_TYPEMISMATCH;
  AppendDateText(form, value.date, text);  // out of range: the element stays empty
  return S_OK;
}

// Floating-point values are written by encode/real_text.h rather than by
// the conversion, so that they read back to the same value whatever the
// platform's number formatting, and non-finite values take the XML Schema
// forms "NaN", "INF" and "-INF". Integers are written directly, as the
// conversion would.
HRESULT AppendConverted(const VARIANT& value, std::u16string& text) {
  switch (value.vt) {
    case VT_BSTR:
      AppendBstr(value.bstrVal, text);
      return S_OK;
    case VT_R8:
      AppendDoubleText(value.dblVal, text);
      return S_OK;
    case VT_R4:
      AppendFloatText(value.fltVal, text);
      return S_OK;
    case VT_I1:
      AppendInteger(static_cast<signed char>(value.cVal), text);
      return S_OK;
    case VT_UI1:
      AppendInteger(value.bVal, text);
      return S_OK;
    case VT_I2:
      AppendInteger(value.iVal, text);
      return S_OK;
    case VT_UI2:
      AppendInteger(value.uiVal, text);
      return S_OK;
    case VT_I4:
      AppendInteger(value.lVal, text);
      return S_OK;
    case VT_UI4:
      AppendInteger(value.ulVal, text);
      return S_OK;
    case VT_INT:
      AppendInteger(value.intVal, text);
      return S_OK;
    case VT_UINT:
      AppendInteger(value.uintVal, text);
      return S_OK;
    case VT_I8:
      AppendInteger(value.llVal, text);
      return S_OK;
    case VT_UI8:
      AppendInteger(value.ullVal, text);
      return S_OK;
    default:
      break;
  }
  qxcom::Variant converted;
  if (HRESULT hr = VariantChangeType(converted.get(), &value, 0, VT_BSTR); FAILED(hr)) return hr;
  AppendBstr(V_BSTR(converted.get()), text);
  return S_OK;
}

HRESULT AppendByCode(uint16_t code, const VARIANT& value, std::u16string& text) {
  if (code < kAnyType) return AppendConverted(value, text);
  switch (code) {
    case kAnyUri:
      if (value.vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
      AppendBstr(value.bstrVal, text);
      return S_OK;
    case kDate:
      return AppendDate(DateForm::kDate, value, text);
    case kTime:
      return AppendDate(DateForm::kTime, value, text);
    case kDateTime:
      return AppendDate(DateForm::kDateTime, value, text);
    case kBase64:
      return WithBytes(value, [&](std::span<const BYTE> bytes) { AppendBase64(bytes, text); });
    case kHexBinary:
      return WithBytes(value, [&](std::span<const BYTE> bytes) { AppendHex(bytes, text); });
    case kBoolean:
      if (value.vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
      text += value.boolVal != 0 ? u'1' : u'0';
      return S_OK;
    default:
      return DISP_E_BADVARTYPE;
  }
}

}  // namespace

HRESULT AppendValueText(uint16_t code, const VARIANT& value, std::u16string& text) {
  const size_t before = text.size();
  try {
    return AppendByCode(code, value, text);
  } catch (const std::bad_alloc&) {     // no memory for the grown text
  } catch (const std::length_error&) {  // or text longer than a string holds
  }
  text.resize(before);  // a date may have been cut off halfway
  return E_OUTOFMEMORY;
}

bool IsBinaryCode(uint16_t code) { return code == kBase64 || code == kHexBinary; }

HRESULT ReadBinaryText(uint16_t code, const VARIANT& value, BinaryText* text) {
  if (!IsBinaryCode(code)) return DISP_E_BADVARTYPE;
  const BinaryText::Form form = code == kBase64 ? BinaryText::Form::kBase64 : BinaryText::Form::kHex;
  *text = BinaryText(form, {});
  return WithBytes(value, [&](std::span<const BYTE> bytes) { *text = BinaryText(form, bytes); });
}

}  // namespace qxsoap
