// DECIMAL values: a 96-bit magnitude, a power-of-ten scale from 0 to 28 and
// a sign. Conversions to and from integers, doubles, currency and text,
// exact wherever the target can hold the value and rounded half to even
// wherever digits must be dropped.
#ifndef QXCOM_PLATFORM_DECIMAL_H_
#define QXCOM_PLATFORM_DECIMAL_H_

#include <string>
#include <string_view>

#include "platform/number_text.h"
#include "qxcom/types.h"

namespace qxcom {

// False for a DECIMAL that holds no value: a scale above 28 or a sign byte
// other than 0 and DECIMAL_NEG.
bool IsValidDecimal(const DECIMAL& value);

bool IsZeroDecimal(const DECIMAL& value);

// Stores `value` with scale 0. DISP_E_OVERFLOW when it needs more than 96
// bits; *result is untouched then.
HRESULT DecimalFromInteger(Int128 value, DECIMAL* result);

// The value rounded half to even to an integer; it always fits.
Int128 DecimalToInteger(const DECIMAL& value);

// Currency (an integer count of ten-thousandths) as a DECIMAL of scale 4.
DECIMAL DecimalFromCurrency(LONGLONG currency);

// The value in ten-thousandths, rounded half to even. DISP_E_OVERFLOW
// beyond the 64-bit range of currency.
HRESULT DecimalToCurrency(const DECIMAL& value, LONGLONG* result);

// Reads blanks, an optional sign, digits with an optional '.', an optional
// exponent, blanks. Digits beyond what 96 bits and scale 28 hold are
// rounded off. DISP_E_TYPEMISMATCH for other text, DISP_E_OVERFLOW when the
// integer part needs more than 96 bits.
HRESULT DecimalFromText(std::u16string_view text, DECIMAL* result);

// Plain decimal text without exponent or trailing fraction zeros ("-1.5").
std::u16string DecimalToText(const DECIMAL& value);

// The decimal number written by the shortest text of `value` (as a float
// when `single`), so that 0.1 becomes exactly 0.1. DISP_E_OVERFLOW for
// values beyond the DECIMAL range and for non-finite values.
HRESULT DecimalFromReal(double value, bool single, DECIMAL* result);

// The double nearest to the value.
double DecimalToReal(const DECIMAL& value);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_DECIMAL_H_
