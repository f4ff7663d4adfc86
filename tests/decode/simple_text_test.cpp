// Built-in text into VARIANTs by type name: the type-name lookup and the
// conversion each name leads to, and failures that leave nothing behind.
// Names that the interop clients and the encode round trip send (int,
// float, double, decimal, string, boolean, dateTime, base64Binary,
// hexBinary) are not repeated here; the range of each VARTYPE is the
// platform coercion's, checked in its suite.
#include "decode/simple_text.h"

#include <gtest/gtest.h>

#include <vector>

#include "decode/byte_arrays.h"
#include "decode/simple_types.h"
#include "qxcom/owned.h"

namespace qxsoap {
namespace {

using namespace std::string_view_literals;

uint16_t CodeOf(std::u16string_view typeName) {
  std::optional<uint16_t> code = LookUpSimpleType(typeName);
  EXPECT_TRUE(code.has_value()) << "no row for the type";
  return code.value_or(0);
}

std::u16string TextOfValue(const VARIANT& value) {
  qxcom::Variant text;
  if (FAILED(VariantChangeType(text.get(), &value, 0, VT_BSTR))) return u"<no text>";
  return std::u16string(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get())));
}

// The VARTYPE of the result is the row's code (long and unsignedLong are
// 32-bit).
TEST(ConvertBuiltInText, ScalarRows) {
  const struct {
    std::u16string_view typeName, text;
    VARTYPE vt;                     // VT_EMPTY: the conversion fails
    std::u16string_view valueText;  // the result coerced back to text
  } rows[] = {
      {u"unsignedByte", u"255", VT_UI1, u"255"},
      {u"byte", u"-128", VT_I1, u"-128"},
      {u"short", u"-32768", VT_I2, u"-32768"},
      {u"unsignedShort", u"65535", VT_UI2, u"65535"},
      {u"integer", u"-7", VT_I4, u"-7"},
      {u"long", u"-2147483648", VT_I4, u"-2147483648"},
      {u"unsignedLong", u"4294967295", VT_UI4, u"4294967295"},
      {u"unsignedInt", u"4294967295", VT_UI4, u"4294967295"},
      {u"ur-type", u" x ", VT_BSTR, u" x "},
      {u"anyURI", u"urn:a\0b"sv, VT_BSTR, u"urn:a\0b"sv},  // a length-counted copy
      {u"date", u"2003-05-01Z", VT_DATE, u"2003-05-01"},
      {u"time", u"23:00:00+02:00", VT_DATE, u"01:00:00"},
      {u"timeInstant", u"2003-05-01T10:00:00+02:00", VT_DATE, u"2003-05-01 12:00:00"},
      {u"dateTime", u"2003-05-01 10:00:00", VT_EMPTY, u""},
      {u"base64Binary", u"QQ=", VT_EMPTY, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.typeName.begin(), row.typeName.end()));
    VARIANT out;
    V_VT(&out) = VT_I4;  // not cleared by the caller: the result replaces it
    HRESULT hr = ConvertBuiltInText(CodeOf(row.typeName), row.text, &out);
    qxcom::Variant owner;
    *owner.get() = out;  // freed at the end of the row
    if (row.vt == VT_EMPTY) {
      EXPECT_TRUE(FAILED(hr));
      EXPECT_EQ(V_VT(&out), VT_EMPTY);
      continue;
    }
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(V_VT(&out), row.vt);
    EXPECT_EQ(TextOfValue(out), row.valueText);
  }
  qxcom::Variant bytes;
  ASSERT_EQ(ConvertBuiltInText(CodeOf(u"base64"), u"QU\nJD", bytes.get()), S_OK) << "SOAP encoding's name";
  ASSERT_EQ(V_VT(bytes.get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(test::DecodedBytes(V_ARRAY(bytes.get())), (std::vector<BYTE>{0x41, 0x42, 0x43}));
}

// The lookup goes by name length, then first unit, then the whole name.
TEST(SimpleTypes, NamesNotInTheTableAreMissing) {
  for (std::u16string_view name : {u"Int"sv, u"dateTimf"sv, u"nonNegativeIntegerValue"sv}) {
    EXPECT_EQ(LookUpSimpleType(name), std::nullopt) << std::string(name.begin(), name.end());
  }
}

}  // namespace
}  // namespace qxsoap
