// The type-name table: its rows in order and the lookup by exact local name.
#include "decode/simple_types.h"

#include <gtest/gtest.h>

namespace qxsoap {
namespace {

struct NameRow {
  const char* why;
  std::u16string_view name;
  uint16_t code;
};

// In table order: the serializer and both parsers read the same rows.
constexpr NameRow kTableRows[] = {
    {"unsigned 8-bit", u"unsignedByte", VT_UI1},
    {"signed 8-bit", u"byte", VT_I1},
    {"signed 16-bit", u"short", VT_I2},
    {"unsigned 16-bit", u"unsignedShort", VT_UI2},
    {"integer is held in 32 bits", u"integer", VT_I4},
    {"signed 32-bit", u"int", VT_I4},
    {"unsigned 32-bit", u"unsignedInt", VT_UI4},
    {"long is not a 64-bit type", u"long", VT_I4},
    {"unsignedLong is not a 64-bit type", u"unsignedLong", VT_UI4},
    {"single precision", u"float", VT_R4},
    {"double precision", u"double", VT_R8},
    {"decimal", u"decimal", VT_DECIMAL},
    {"text", u"string", VT_BSTR},
    {"anyType defers to the xsi type", u"anyType", kAnyType},
    {"the 1999 name of anyType", u"ur-type", kAnyType},
    {"URIs stay text", u"anyURI", kAnyUri},
    {"date rule", u"date", kDate},
    {"time rule", u"time", kTime},
    {"the 1999 name of dateTime", u"timeInstant", kDateTime},
    {"dateTime rule", u"dateTime", kDateTime},
    {"SOAP encoding's base64", u"base64", kBase64},
    {"schema base64", u"base64Binary", kBase64},
    {"hex", u"hexBinary", kHexBinary},
    {"boolean", u"boolean", kBoolean},
};

TEST(SimpleTypes, EveryRowInOrderAndFoundByItsName) {
  ASSERT_EQ(std::size(kTableRows), kSimpleTypes.size());
  for (size_t i = 0; i < kSimpleTypes.size(); ++i) {
    const NameRow& row = kTableRows[i];
    SCOPED_TRACE(row.why);
    EXPECT_EQ(kSimpleTypes[i].localName, row.name) << "row " << i;
    EXPECT_EQ(kSimpleTypes[i].code, row.code) << "row " << i;
    EXPECT_EQ(LookUpSimpleType(row.name), std::optional<uint16_t>(row.code));
  }
}

TEST(SimpleTypes, NamesNotInTheTableAreMissing) {
  const std::pair<const char*, std::u16string_view> misses[] = {
      {"letter case matters", u"Int"},
      {"letter case matters inside the name", u"dateTIME"},
      {"same length and first letter as a row", u"dateTimf"},
      {"same length as a row, other first letter", u"xong"},
      {"no trimming of blanks", u"long "},
      {"a prefix is not stripped", u"xsd:int"},
      {"a row's name cut short", u"unsignedBy"},
      {"a row's name with more after it", u"unsignedShorts"},
      {"longer than every row", u"nonNegativeIntegerValue"},
      {"a schema type without a row", u"duration"},
      {"empty", u""},
      {"a null unit inside", std::u16string_view(u"in\0t", 4)},
  };
  for (const auto& [why, name] : misses) {
    SCOPED_TRACE(why);
    EXPECT_EQ(LookUpSimpleType(name), std::nullopt);
  }
}

}  // namespace
}  // namespace qxsoap
