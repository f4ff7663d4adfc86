// decode/binary_text.h: base64 and hex text of binary accessors decoded into
// byte arrays.
//
// Both decoders drop the blanks space, tab, line feed, vertical tab, form
// feed and carriage return wherever they occur, and accept nothing but ASCII:
// a unit from 0x80 up is invalid, never folded to a byte that looks valid.
// The bytes go straight into a new one-dimensional SAFEARRAY of VT_UI1 with
// lower bound 0, sized by a first pass over the text.
//
// Threads: the functions keep no state; calls on any threads are independent.
#ifndef QXSOAP_DECODE_BINARY_TEXT_H_
#define QXSOAP_DECODE_BINARY_TEXT_H_

#include <string_view>

#include "qxcom/oleauto.h"

namespace qxsoap {

// Decodes base64 text: after the blanks are dropped the length must be a
// multiple of 4; each group of four yields three bytes, two when only its
// fourth unit is '=' and one when its third and fourth are '='. Padding is
// accepted in any group, not only the last. Empty text gives an empty array.
// On success stores the new array (the caller owns it) in *bytes and returns
// S_OK. Returns DISP_E_TYPEMISMATCH for invalid text and E_OUTOFMEMORY when
// the array cannot be made; *bytes is null then.
HRESULT DecodeBase64Text(std::u16string_view text, SAFEARRAY** bytes);

// Decodes hex text: after the blanks are dropped each pair of digits (either
// letter case) is one byte, high digit first; an odd count fails. Results as
// for DecodeBase64Text.
HRESULT DecodeHexText(std::u16string_view text, SAFEARRAY** bytes);

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_BINARY_TEXT_H_
