// decode/simple_text.h: the text of a built-in-typed value turned into an
// automation value by its type code (see decode/simple_types.h). This layer
// knows nothing of accessors: the caller picks the code, handles nil and
// turns a failure into its fault.
//
// Threads: the function keeps no state.
#ifndef QXSOAP_DECODE_SIMPLE_TEXT_H_
#define QXSOAP_DECODE_SIMPLE_TEXT_H_

#include <cstdint>
#include <string_view>

#include "qxcom/oleauto.h"

namespace qxsoap {

// Converts `text` by type code into *out, which must hold nothing to free:
//   - a code below 256: the text as a BSTR coerced in place to that VARTYPE
//     with VariantChangeType (no flags); text out of the type's range fails;
//   - kAnyType and kAnyUri: the text as a BSTR, unchanged;
//   - kBoolean: the text coerced to VT_BOOL ("true", "false", "1", "0", ...);
//   - kDate, kTime, kDateTime: VT_DATE by the date rules (decode/date_rules.h);
//   - kBase64, kHexBinary: VT_ARRAY | VT_UI1 (decode/binary_text.h).
// Null units inside `text` are kept in the BSTR. Returns S_OK, or a failure
// HRESULT with *out VT_EMPTY: E_OUTOFMEMORY, the coercion's error,
// DISP_E_TYPEMISMATCH for text the date rules or decoders refuse, and
// DISP_E_BADVARTYPE for a code from 256 up that names no conversion.
HRESULT ConvertBuiltInText(uint16_t code, std::u16string_view text, VARIANT* out);

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_SIMPLE_TEXT_H_
