// decode/simple_types.h: the type-name table of the XML Schema and SOAP
// encoding built-in types. It maps a type's local name to a 16-bit code:
// codes below 256 are VARTYPEs reached by coercing the text, codes from 256
// up name a special conversion. The parsers and the serializer all read the
// one constant table below.
//
// Threads: the table is immutable; lookups may run on any thread.
#ifndef QXSOAP_DECODE_SIMPLE_TYPES_H_
#define QXSOAP_DECODE_SIMPLE_TYPES_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxsoap {

// Special conversion codes; every code below 256 is a VARTYPE.
inline constexpr uint16_t kAnyType = 256;    // the text as VT_BSTR, or the xsi type's row
inline constexpr uint16_t kDate = 257;       // VT_DATE by the date rule
inline constexpr uint16_t kTime = 258;       // VT_DATE by the time rule
inline constexpr uint16_t kDateTime = 259;   // VT_DATE by the dateTime rule
inline constexpr uint16_t kBase64 = 260;     // VT_ARRAY | VT_UI1 from base64 text
inline constexpr uint16_t kHexBinary = 261;  // VT_ARRAY | VT_UI1 from hex text
inline constexpr uint16_t kBoolean = 262;    // VT_BOOL
inline constexpr uint16_t kAnyUri = 263;     // the text as VT_BSTR

struct SimpleTypeRow {
  std::u16string_view localName;  // case-sensitive, without namespace
  uint16_t code;
};

// The built-in types in their fixed order. "long" and "unsignedLong" map to
// 32-bit types: values beyond 32 bits fail their coercion.
inline constexpr std::array<SimpleTypeRow, 24> kSimpleTypes = {{
    {u"unsignedByte", VT_UI1},   {u"byte", VT_I1},           {u"short", VT_I2},
    {u"unsignedShort", VT_UI2},  {u"integer", VT_I4},        {u"int", VT_I4},
    {u"unsignedInt", VT_UI4},    {u"long", VT_I4},           {u"unsignedLong", VT_UI4},
    {u"float", VT_R4},           {u"double", VT_R8},         {u"decimal", VT_DECIMAL},
    {u"string", VT_BSTR},        {u"anyType", kAnyType},     {u"ur-type", kAnyType},
    {u"anyURI", kAnyUri},        {u"date", kDate},           {u"time", kTime},
    {u"timeInstant", kDateTime}, {u"dateTime", kDateTime},   {u"base64", kBase64},
    {u"base64Binary", kBase64},  {u"hexBinary", kHexBinary}, {u"boolean", kBoolean},
}};

// The code of the row whose local name is exactly `localName`, or nullopt
// when no row has that name (names differing only in case do not match).
std::optional<uint16_t> LookUpSimpleType(std::u16string_view localName);

// A built-in type named once and converted to many times: the name is
// looked up when the handle is made, from the name the port gives.
struct SimpleType {
  // Implicit: a type is named by its name.
  SimpleType(std::u16string_view localName) : code(LookUpSimpleType(localName)) {}  // NOLINT
  SimpleType(const std::u16string& localName) : SimpleType(std::u16string_view(localName)) {}  // NOLINT

  std::optional<uint16_t> code;  // nullopt: no built-in type has that name
};

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_SIMPLE_TYPES_H_
