// Attachment identifiers: "uuid:" and a GUID's 8-4-4-4-12 upper-case hex
// digits, new on every call.
#include "encode/attachment_id.h"

#include <gtest/gtest.h>

#include <set>

namespace qxsoap {
namespace {

bool IsUpperHexDigit(char16_t unit) {
  return (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'F');
}

// Dashes after the 8th, 12th, 16th and 20th digit; every other unit a digit.
bool IsGuidDigits(std::u16string_view digits) {
  if (digits.size() != 36) return false;
  for (size_t i = 0; i < digits.size(); ++i) {
    bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? digits[i] != u'-' : !IsUpperHexDigit(digits[i])) return false;
  }
  return true;
}

TEST(AttachmentId, ShapeAndFreshness) {
  std::set<std::u16string> seen;
  for (int i = 0; i < 100; ++i) {
    std::u16string id;
    ASSERT_EQ(NewAttachmentId(&id), S_OK);
    ASSERT_EQ(id.size(), 41u);
    EXPECT_EQ(id.substr(0, 5), u"uuid:");
    EXPECT_TRUE(IsGuidDigits(std::u16string_view(id).substr(5)))
        << std::string(id.begin(), id.end());
    EXPECT_TRUE(seen.insert(id).second) << "an identifier came twice";
  }
}

}  // namespace
}  // namespace qxsoap
