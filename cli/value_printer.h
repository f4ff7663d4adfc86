// The text `qxsoap call` prints for an automation value the handler read
// from a reply: one line a person can read, whatever the value's shape.
#ifndef QXSOAP_CLI_VALUE_PRINTER_H_
#define QXSOAP_CLI_VALUE_PRINTER_H_

#include <cstdint>
#include <string>

#include "decode/simple_types.h"
#include "qxcom/oleauto.h"

namespace qxsoap::cli {

// Appends the text of `value` to `text`:
//   - a string as it is; a boolean as "true" or "false";
//   - a number by its shortest round-trip form (floating point) or its
//     usual text; a DATE as "yyyy-mm-ddThh:mm:ssZ", or "yyyy-mm-dd" and
//     "hh:mm:ssZ" when `typeCode` is kDate and kTime;
//   - bytes (a one-dimensional array of VT_UI1) as base64, or as hex when
//     `typeCode` is kHexBinary;
//   - any other array as "[a, b, c]", a row per dimension nested in the
//     next ("[[a, b], [c, d]]");
//   - a struct object (an IDispatch answering the struct interface) as
//     "{name: value, ...}" in member order;
//   - VT_EMPTY and VT_NULL as "nil".
// A value with no such text (an object that is not a struct, a type the
// coercions do not know) appends "<VT n>" with its VARTYPE, so that the
// line still shows that something was there; a DATE beyond the years 100
// to 9999 appends nothing. `typeCode` is the code of the value's built-in
// type (decode/simple_types.h) when the caller knows it; it picks no more
// than the forms above, and arrays and structs print their items without.
void AppendValueForPrinting(const VARIANT& value, std::u16string& text, uint16_t typeCode = kAnyType);

}  // namespace qxsoap::cli

#endif  // QXSOAP_CLI_VALUE_PRINTER_H_
