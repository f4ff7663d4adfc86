// encode/value_text.h: the text of an automation value under a built-in
// type code (see decode/simple_types.h), as the serializer writes it into
// an element.
//
// Threads: the function keeps no state.
#ifndef QXSOAP_ENCODE_VALUE_TEXT_H_
#define QXSOAP_ENCODE_VALUE_TEXT_H_

#include <cstdint>
#include <string>

#include "encode/binary_encoding.h"
#include "qxcom/oleauto.h"

namespace qxsoap {

// Appends the text of `value` under type code `code` to `text`:
//   - kAnyUri: a VT_BSTR, unchanged (a null BSTR is empty);
//   - kDate, kTime, kDateTime: a VT_DATE in that form (encode/date_text.h);
//     a date out of range appends nothing and still succeeds;
//   - kBase64, kHexBinary: the bytes of a one-dimensional VT_ARRAY | VT_UI1
//     (encode/binary_encoding.h); a null array has no bytes;
//   - kBoolean: a VT_BOOL as "1" when non-zero, "0" when zero;
//   - a VARTYPE code (below 256): a VT_BSTR unchanged; a VT_R4 or VT_R8 as
//     its shortest round-trip text (encode/real_text.h); any other value
//     converted to text by VariantChangeType with flags 0 into a copy, so
//     `value` itself is never changed. The code only selects this route: a
//     VT_R8 under VT_I4 is written as the double it is.
// Returns S_OK, or on failure leaves `text` as it was and returns:
//   - DISP_E_TYPEMISMATCH when a special code meets a value of another
//     VARTYPE (a string under kDateTime, a non-array under kBase64, ...):
//     the value is never read as the type the code expects;
//   - DISP_E_BADVARTYPE for kAnyType, whose caller must first pick the
//     code by the value's VARTYPE, and for codes above kAnyUri;
//   - the conversion's HRESULT when VariantChangeType fails;
//   - E_OUTOFMEMORY when the text cannot grow.
HRESULT AppendValueText(uint16_t code, const VARIANT& value, std::u16string& text);

// Whether `code` is kBase64 or kHexBinary.
bool IsBinaryCode(uint16_t code);

// The text of a value under kBase64 or kHexBinary, as AppendValueText gives
// it, left in *text as a producer over the value's own bytes: a document of
// megabytes is encoded once, when it is written, with no scratch text to
// fill first and copy after. The value must outlive the producer and stay
// unchanged. No bytes (or a null array) give an empty text. Results as
// AppendValueText's; any other code gives DISP_E_BADVARTYPE.
HRESULT ReadBinaryText(uint16_t code, const VARIANT& value, BinaryText* text);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_VALUE_TEXT_H_
