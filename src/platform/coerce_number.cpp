// Numeric coercions through the three canonical forms of `Number`.
#include "platform/coerce_number.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/date.h"
#include "platform/date_text.h"
#include "platform/decimal.h"

namespace qxcom {
namespace {

static_assert(std::endian::native == std::endian::little,
              "integers are stored through the low bytes of llVal");

struct IntegerTarget {
  VARTYPE type;
  Int128 min;
  Int128 max;
  size_t bytes;
};

constexpr IntegerTarget kIntegerTargets[] = {
    {VT_I1, INT8_MIN, INT8_MAX, 1},      {VT_UI1, 0, UINT8_MAX, 1},
    {VT_I2, INT16_MIN, INT16_MAX, 2},    {VT_UI2, 0, UINT16_MAX, 2},
    {VT_I4, INT32_MIN, INT32_MAX, 4},    {VT_UI4, 0, UINT32_MAX, 4},
    {VT_INT, INT32_MIN, INT32_MAX, 4},   {VT_UINT, 0, UINT32_MAX, 4},
    {VT_I8, INT64_MIN, INT64_MAX, 8},    {VT_UI8, 0, UINT64_MAX, 8},
};

const IntegerTarget* FindIntegerTarget(VARTYPE type) {
  for (const IntegerTarget& target : kIntegerTargets) {
    if (target.type == type) return &target;
  }
  return nullptr;
}

Number IntegerNumber(Int128 value) {
  Number number;
  number.integer = value;
  return number;
}

Number RealNumber(double value, bool single = false) {
  Number number;
  number.form = Number::Form::kReal;
  number.real = value;
  number.single = single;
  return number;
}

Number DecimalNumber(const DECIMAL& value) {
  Number number;
  number.form = Number::Form::kDecimal;
  number.decimal = value;
  return number;
}

// Rounds half to even without relying on the floating-point rounding mode,
// which a host may have changed.
double RoundHalfEven(double value) {
  double below = std::floor(value);
  double excess = value - below;
  if (excess > 0.5 || (excess == 0.5 && std::fmod(below, 2) != 0)) return below + 1;
  return below;
}

// A rounded double as an integer, or DISP_E_OVERFLOW when it is beyond every
// integer type (NaN and infinities included).
HRESULT RealToInteger(double value, Int128* result) {
  double rounded = RoundHalfEven(value);
  constexpr double kBeyondEveryIntegerType = 0x1p100;
  if (!(std::fabs(rounded) < kBeyondEveryIntegerType)) return DISP_E_OVERFLOW;
  *result = Int128(rounded);
  return S_OK;
}

HRESULT ToInteger(const Number& number, Int128* result) {
  switch (number.form) {
    case Number::Form::kInteger:
      *result = number.integer;
      return S_OK;
    case Number::Form::kReal:
      return RealToInteger(number.real, result);
    case Number::Form::kDecimal:
      *result = DecimalToInteger(number.decimal);
      return S_OK;
  }
  return E_UNEXPECTED;
}

double ToReal(const Number& number) {
  switch (number.form) {
    case Number::Form::kInteger:
      return double(number.integer);
    case Number::Form::kReal:
      return number.real;
    case Number::Form::kDecimal:
      return DecimalToReal(number.decimal);
  }
  return 0;
}

HRESULT ToCurrency(const Number& number, LONGLONG* result) {
  constexpr int kUnitsPerWhole = 10000;
  Int128 units = 0;
  switch (number.form) {
    case Number::Form::kInteger:
      units = number.integer * kUnitsPerWhole;
      break;
    case Number::Form::kReal:
      if (HRESULT hr = RealToInteger(number.real * kUnitsPerWhole, &units); FAILED(hr)) return hr;
      break;
    case Number::Form::kDecimal:
      return DecimalToCurrency(number.decimal, result);
  }
  if (units < INT64_MIN || units > INT64_MAX) return DISP_E_OVERFLOW;
  *result = LONGLONG(units);
  return S_OK;
}

HRESULT ToDecimal(const Number& number, DECIMAL* result) {
  switch (number.form) {
    case Number::Form::kInteger:
      return DecimalFromInteger(number.integer, result);
    case Number::Form::kReal:
      return DecimalFromReal(number.real, number.single, result);
    case Number::Form::kDecimal:
      *result = number.decimal;
      return S_OK;
  }
  return E_UNEXPECTED;
}

bool IsNonZero(const Number& number) {
  switch (number.form) {
    case Number::Form::kInteger:
      return number.integer != 0;
    case Number::Form::kReal:
      return number.real != 0;
    case Number::Form::kDecimal:
      return !IsZeroDecimal(number.decimal);
  }
  return false;
}

HRESULT WriteInteger(const Number& number, const IntegerTarget& target, VARIANT* dest) {
  Int128 value = 0;
  if (HRESULT hr = ToInteger(number, &value); FAILED(hr)) return hr;
  if (value < target.min || value > target.max) return DISP_E_OVERFLOW;
  uint64_t bits = uint64_t(value);
  dest->llVal = 0;
  std::memcpy(&dest->llVal, &bits, target.bytes);
  dest->vt = target.type;
  return S_OK;
}

}  // namespace

bool IsNumericTarget(VARTYPE type) {
  switch (type) {
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_CY:
    case VT_DECIMAL:
    case VT_BOOL:
      return true;
    default:
      return FindIntegerTarget(type) != nullptr;
  }
}

HRESULT ReadNumber(const VARIANT& source, Number* number) {
  switch (source.vt) {
    case VT_EMPTY: *number = IntegerNumber(0); break;
    case VT_I1: *number = IntegerNumber(source.cVal); break;
    case VT_UI1: *number = IntegerNumber(source.bVal); break;
    case VT_I2: *number = IntegerNumber(source.iVal); break;
    case VT_UI2: *number = IntegerNumber(source.uiVal); break;
    case VT_I4: *number = IntegerNumber(source.lVal); break;
    case VT_UI4: *number = IntegerNumber(source.ulVal); break;
    case VT_INT: *number = IntegerNumber(source.intVal); break;
    case VT_UINT: *number = IntegerNumber(source.uintVal); break;
    case VT_I8: *number = IntegerNumber(source.llVal); break;
    case VT_UI8: *number = IntegerNumber(source.ullVal); break;
    case VT_BOOL: *number = IntegerNumber(source.boolVal); break;
    case VT_R4: *number = RealNumber(source.fltVal, true); break;
    case VT_R8: *number = RealNumber(source.dblVal); break;
    case VT_DATE: *number = RealNumber(source.date); break;
    case VT_CY: *number = DecimalNumber(DecimalFromCurrency(source.cyVal.int64)); break;
    case VT_DECIMAL:
      if (!IsValidDecimal(source.decVal)) return E_INVALIDARG;
      *number = DecimalNumber(source.decVal);
      break;
    default:
      return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT ReadNumberFromText(std::u16string_view text, VARTYPE type, Number* number) {
  HRESULT hr = S_OK;
  if (FindIntegerTarget(type)) {
    Int128 integer = 0;
    hr = ParseInteger(text, &integer);
    *number = IntegerNumber(integer);
    return hr;
  }
  switch (type) {
    case VT_R4:
    case VT_R8: {
      double real = 0;
      hr = ParseReal(text, &real);
      *number = RealNumber(real, type == VT_R4);
      return hr;
    }
    case VT_DATE: {
      double date = 0;
      hr = ParseDateText(text, &date);
      *number = RealNumber(date);
      return hr;
    }
    case VT_CY:
    case VT_DECIMAL: {
      DECIMAL decimal = {};
      hr = DecimalFromText(text, &decimal);
      *number = DecimalNumber(decimal);
      return hr;
    }
    case VT_BOOL: {
      bool truth = false;
      hr = ParseBoolean(text, &truth);
      *number = IntegerNumber(truth ? VARIANT_TRUE : VARIANT_FALSE);
      return hr;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT WriteNumber(const Number& number, VARTYPE type, VARIANT* dest) {
  if (const IntegerTarget* target = FindIntegerTarget(type)) {
    return WriteInteger(number, *target, dest);
  }
  HRESULT hr = S_OK;
  switch (type) {
    case VT_R4: {
      double real = ToReal(number);
      float single = float(real);
      if (std::isinf(single) && std::isfinite(real)) return DISP_E_OVERFLOW;
      dest->fltVal = single;
      break;
    }
    case VT_R8:
      dest->dblVal = ToReal(number);
      break;
    case VT_DATE: {
      double date = ToReal(number);
      if (!IsValidDate(date)) return DISP_E_OVERFLOW;
      dest->date = date;
      break;
    }
    case VT_CY: {
      LONGLONG currency = 0;
      if (hr = ToCurrency(number, &currency); FAILED(hr)) return hr;
      dest->cyVal.int64 = currency;
      break;
    }
    case VT_DECIMAL: {
      DECIMAL decimal = {};
      if (hr = ToDecimal(number, &decimal); FAILED(hr)) return hr;
      dest->decVal = decimal;  // overlays vt, which is set below
      break;
    }
    case VT_BOOL:
      dest->boolVal = IsNonZero(number) ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    default:
      return DISP_E_TYPEMISMATCH;
  }
  dest->vt = type;
  return S_OK;
}

}  // namespace qxcom
