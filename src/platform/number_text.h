// Numbers and booleans as text under the invariant coercion locale described
// at the top of qxcom/oleauto.h: the readers and writers behind every
// string coercion of VariantChangeType and VarUI4FromStr.
#ifndef QXCOM_PLATFORM_NUMBER_TEXT_H_
#define QXCOM_PLATFORM_NUMBER_TEXT_H_

#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxcom {

using Int128 = __int128;
using UInt128 = unsigned __int128;

// `text` without the blanks (space, tab, CR, LF, VT, FF) around it. Values
// read from XML are often laid out on lines of their own.
std::u16string_view TrimBlanks(std::u16string_view text);

// Copies `text` into *out as single bytes. Returns false, leaving *out
// unspecified, when a unit is not ASCII: no number or date contains one.
bool NarrowAscii(std::u16string_view text, std::string* out);

// A decimal number as written: its value is digits * 10^-scale. `digits`
// keeps any leading zeros.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  long scale = 0;
};

// Reads an optional sign, digits with an optional '.', and an optional
// exponent, with nothing around them, into *number. Returns false for any
// other text. Exponents are capped far beyond the range of any type.
bool ReadDecimalDigits(std::string_view text, DecimalDigits* number);

// Reads an integer: blanks, an optional sign, decimal digits, blanks. Stores
// the value and returns S_OK; DISP_E_TYPEMISMATCH for any other text (a
// fraction or an exponent included), DISP_E_OVERFLOW when the magnitude is
// beyond 2^64, past every integer type. *value is untouched on failure.
HRESULT ParseInteger(std::u16string_view text, Int128* value);

// Reads a floating-point number: blanks, an optional sign, digits with an
// optional '.', an optional exponent ("1.5e-3"), blanks; or INF or NAN in
// any letter case. DISP_E_OVERFLOW beyond the range of a double; a value
// below the smallest denormal reads as a zero of its sign.
HRESULT ParseReal(std::u16string_view text, double* value);

// Reads "true" or "false" in any letter case, or numeric text (non-zero is
// true). DISP_E_TYPEMISMATCH for anything else.
HRESULT ParseBoolean(std::u16string_view text, bool* value);

// Plain decimal with a '-' for negatives.
std::u16string FormatInteger(Int128 value);

// The shortest text that reads back to the same value; "INF", "-INF" and
// "NaN" for non-finite values.
std::u16string FormatReal(double value);
std::u16string FormatSingle(float value);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_NUMBER_TEXT_H_
