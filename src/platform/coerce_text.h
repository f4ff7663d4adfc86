// The text half of VariantChangeType: any value that has a text form,
// written as text under the invariant coercion locale.
#ifndef QXCOM_PLATFORM_COERCE_TEXT_H_
#define QXCOM_PLATFORM_COERCE_TEXT_H_

#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxcom {

// Writes a by-value VARIANT as text into *text: VT_EMPTY as "", integers in
// plain decimal, VT_R4 and VT_R8 as their shortest round-trip text, dates as
// ISO 8601, VT_CY and VT_DECIMAL in plain decimal, VT_BOOL as "True" or
// "False". DISP_E_TYPEMISMATCH for types without a text form,
// DISP_E_OVERFLOW for a DATE outside the valid years.
HRESULT FormatVariantText(const VARIANT& source, std::u16string* text);

// Stores a new BSTR holding `text` in *result, which the caller frees.
// E_OUTOFMEMORY (and a null *result) when memory runs out.
HRESULT TextToBstr(std::u16string_view text, BSTR* result);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_COERCE_TEXT_H_
