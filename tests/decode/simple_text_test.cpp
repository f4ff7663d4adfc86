// Built-in text into VARIANTs by type name: the type-name lookup, range
// limits of the integer types, booleans, dates and binary values, and
// failures that leave nothing behind.
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

// Every name of the table is looked up by one row at least; the VARTYPE of
// the result is the row's code (long and unsignedLong are 32-bit). The
// range of each VARTYPE is the platform coercion's, checked in its suite.
TEST(ConvertBuiltInText, ScalarRows) {
  const struct {
    const char* why;
    std::u16string_view typeName, text;
    VARTYPE vt;                     // VT_EMPTY: the conversion fails
    std::u16string_view valueText;  // the result coerced back to text
  } rows[] = {
      {"unsignedByte at its top", u"unsignedByte", u"255", VT_UI1, u"255"},
      {"byte at its bottom", u"byte", u"-128", VT_I1, u"-128"},
      {"short at its bottom", u"short", u"-32768", VT_I2, u"-32768"},
      {"unsignedShort at its top", u"unsignedShort", u"65535", VT_UI2, u"65535"},
      {"int at its top", u"int", u"2147483647", VT_I4, u"2147483647"},
      {"integer is held in 32 bits", u"integer", u"-7", VT_I4, u"-7"},
      {"integer takes no fraction", u"integer", u"12.5", VT_EMPTY, u""},
      {"long at the 32-bit bottom", u"long", u"-2147483648", VT_I4, u"-2147483648"},
      {"unsignedLong at the 32-bit top", u"unsignedLong", u"4294967295", VT_UI4, u"4294967295"},
      {"unsignedInt at its top", u"unsignedInt", u"4294967295", VT_UI4, u"4294967295"},
      {"blanks around a number", u"int", u" 42\n", VT_I4, u"42"},
      {"not a number", u"int", u"forty", VT_EMPTY, u""},
      {"float", u"float", u"1.5", VT_R4, u"1.5"},
      {"double with an exponent", u"double", u"1e-3", VT_R8, u"0.001"},
      {"decimal", u"decimal", u"12.50", VT_DECIMAL, u"12.5"},
      {"string keeps its blanks and a null unit", u"string", u" a\0b "sv, VT_BSTR, u" a\0b "sv},
      {"anyType is the text", u"anyType", u" 12 ", VT_BSTR, u" 12 "},
      {"ur-type is the text", u"ur-type", u"x", VT_BSTR, u"x"},
      {"anyURI is the text", u"anyURI", u"urn:a\0b"sv, VT_BSTR, u"urn:a\0b"sv},
      {"boolean true", u"boolean", u"true", VT_BOOL, u"True"},
      {"boolean 0", u"boolean", u"0", VT_BOOL, u"False"},
      {"boolean in another letter case", u"boolean", u"TRUE", VT_BOOL, u"True"},
      {"boolean yes is not a boolean", u"boolean", u"yes", VT_EMPTY, u""},
      {"date", u"date", u"2003-05-01Z", VT_DATE, u"2003-05-01"},
      {"time with an offset", u"time", u"23:00:00+02:00", VT_DATE, u"01:00:00"},
      {"dateTime with an offset", u"dateTime", u"2003-05-01T10:00:00+02:00", VT_DATE,
       u"2003-05-01 12:00:00"},
      {"timeInstant is dateTime", u"timeInstant", u"2003-05-01T10:00:00Z", VT_DATE,
       u"2003-05-01 10:00:00"},
      {"a date rule's refusal", u"dateTime", u"2003-05-01 10:00:00", VT_EMPTY, u""},
      {"base64 refused", u"base64Binary", u"QQ=", VT_EMPTY, u""},
      {"hex refused", u"hexBinary", u"abc", VT_EMPTY, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
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
}

TEST(ConvertBuiltInText, BinaryRows) {
  const struct {
    std::u16string_view typeName, text;
    std::vector<BYTE> bytes;
  } rows[] = {
      {u"base64Binary", u"QQ==", {0x41}},
      {u"base64", u"QU\nJD", {0x41, 0x42, 0x43}},  // SOAP encoding's name
      {u"hexBinary", u"0a ff", {0x0A, 0xFF}},
  };
  for (const auto& row : rows) {
    qxcom::Variant out;
    ASSERT_EQ(ConvertBuiltInText(CodeOf(row.typeName), row.text, out.get()), S_OK);
    ASSERT_EQ(V_VT(out.get()), VT_ARRAY | VT_UI1);
    EXPECT_EQ(test::DecodedBytes(V_ARRAY(out.get())), row.bytes);
  }
  qxcom::Variant out;
  EXPECT_EQ(ConvertBuiltInText(kAnyUri + 1, u"x", out.get()), DISP_E_BADVARTYPE)
      << "a special code without a conversion";
  EXPECT_EQ(V_VT(out.get()), VT_EMPTY);
}

// The lookup goes by name length, then first unit, then the whole name.
TEST(SimpleTypes, NamesNotInTheTableAreMissing) {
  for (std::u16string_view name : {u"Int"sv, u"dateTimf"sv, u"xong"sv, u"long "sv, u"xsd:int"sv,
                                   u"nonNegativeIntegerValue"sv, u"duration"sv, u""sv, u"in\0t"sv}) {
    EXPECT_EQ(LookUpSimpleType(name), std::nullopt) << std::string(name.begin(), name.end());
  }
}

}  // namespace
}  // namespace qxsoap
