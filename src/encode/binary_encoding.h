// encode/binary_encoding.h: bytes written as base64 or hex text, the forms
// of base64Binary and hexBinary values.
//
// Both append to the caller's text, growing it once to its final size, and
// write no line breaks or other separators however long the data.
//
// Threads: the functions keep no state; calls on any threads are independent.
#ifndef QXSOAP_ENCODE_BINARY_ENCODING_H_
#define QXSOAP_ENCODE_BINARY_ENCODING_H_

#include <span>
#include <string>

#include "qxcom/types.h"

namespace qxsoap {

// Appends the base64 text of `bytes` to `text`: the standard alphabet
// ("A"-"Z", "a"-"z", "0"-"9", "+", "/"), four units for each three bytes,
// high bits first; a last group of one byte gives two units and "==", of
// two bytes three units and "=". No bytes append nothing.
void AppendBase64(std::span<const BYTE> bytes, std::u16string& text);

// Appends two upper-case hex digits per byte, high nibble first.
void AppendHex(std::span<const BYTE> bytes, std::u16string& text);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_BINARY_ENCODING_H_
