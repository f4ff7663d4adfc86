// The numeric half of VariantChangeType. Every numeric source (integers,
// booleans, floats, dates, currency, DECIMAL, VT_EMPTY, and text read for a
// numeric target) is first reduced to a `Number` in one of three canonical
// forms; each target type is then written from those three forms only, so
// that no conversion is written once per pair of types.
#ifndef QXCOM_PLATFORM_COERCE_NUMBER_H_
#define QXCOM_PLATFORM_COERCE_NUMBER_H_

#include "platform/number_text.h"
#include "qxcom/types.h"

namespace qxcom {

struct Number {
  enum class Form { kInteger, kReal, kDecimal };
  Form form = Form::kInteger;
  Int128 integer = 0;    // kInteger: every integer type, VT_BOOL (0 or -1)
  double real = 0;       // kReal: VT_R4, VT_R8, VT_DATE
  bool single = false;   // kReal read from a VT_R4, whose shortest text is shorter
  DECIMAL decimal = {};  // kDecimal: VT_CY (scale 4) and VT_DECIMAL
};

// True for the types WriteNumber can produce: VT_I1 to VT_UI8, VT_INT,
// VT_UINT, VT_R4, VT_R8, VT_DATE, VT_CY, VT_DECIMAL and VT_BOOL.
bool IsNumericTarget(VARTYPE type);

// Reduces a by-value VARIANT of a numeric type or VT_EMPTY (zero) to a
// Number. DISP_E_TYPEMISMATCH for other types, E_INVALIDARG for a DECIMAL
// that holds no valid value.
HRESULT ReadNumber(const VARIANT& source, Number* number);

// Reads text for the numeric target `type` with that type's reader:
// integers for integer types, floating point for VT_R4 and VT_R8, dates for
// VT_DATE, decimal text for VT_CY and VT_DECIMAL, booleans for VT_BOOL.
HRESULT ReadNumberFromText(std::u16string_view text, VARTYPE type, Number* number);

// Stores `number` as type `type` in *dest (whose old value is overwritten
// without being freed). Integer targets round half to even; a value outside
// the target's range is DISP_E_OVERFLOW and leaves *dest untouched.
HRESULT WriteNumber(const Number& number, VARTYPE type, VARIANT* dest);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_COERCE_NUMBER_H_
