// GUID creation and the braced text form, which hosts compare as text and
// write into the registry.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/values.h"

namespace {

const GUID kSample = {0x0123ABCD, 0x4567, 0x89EF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};

std::u16string Text(REFGUID guid) {
  OLECHAR buffer[39];
  EXPECT_EQ(StringFromGUID2(guid, buffer, 39), 39);
  return buffer;
}

TEST(Guid, CreateMakesDistinctVersion4Guids) {
  std::set<std::u16string> seen;
  for (int i = 0; i < 64; ++i) {
    GUID guid;
    ASSERT_EQ(CoCreateGuid(&guid), S_OK);
    EXPECT_EQ(guid.Data3 >> 12, 4) << "version nibble";
    EXPECT_EQ(guid.Data4[0] & 0xC0, 0x80) << "RFC 4122 variant bits";
    seen.insert(Text(guid));
  }
  EXPECT_EQ(seen.size(), 64u);
}

TEST(Guid, TextIsUpperCaseBracedAndReadsBackInEitherCase) {
  EXPECT_EQ(Text(kSample), u"{0123ABCD-4567-89EF-FEDC-BA9876543210}");
  for (const char16_t* text : {u"{0123ABCD-4567-89EF-FEDC-BA9876543210}",
                               u"{0123abcd-4567-89ef-fedc-ba9876543210}"}) {
    SCOPED_TRACE(platform_test::Trace(text));
    IID iid;
    ASSERT_EQ(IIDFromString(text, &iid), S_OK);
    EXPECT_EQ(iid, kSample);
  }
}

struct BadGuidRow { const char* why; const char16_t* text; };
constexpr BadGuidRow kBadGuidRows[] = {
    {"no braces", u"0123ABCD-4567-89EF-FEDC-BA9876543210"},
    {"one digit short stops at the null", u"{0123ABCD-4567-89EF-FEDC-BA987654321}"},
    {"extra text after the brace", u"{0123ABCD-4567-89EF-FEDC-BA9876543210}x"},
    {"non-hex digit", u"{0123ABCG-4567-89EF-FEDC-BA9876543210}"},
    {"null", nullptr},
};

TEST(Guid, MalformedTextIsClassString) {
  for (const BadGuidRow& row : kBadGuidRows) {
    SCOPED_TRACE(row.why);
    CLSID clsid = kSample;
    EXPECT_EQ(CLSIDFromString(row.text, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, kSample) << "left unchanged on failure";
  }
  EXPECT_EQ(CLSIDFromString(u"{0123ABCD-4567-89EF-FEDC-BA9876543210}", nullptr), E_INVALIDARG);
}

}  // namespace
