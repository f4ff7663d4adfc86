// Attachment identifiers: "uuid:" and a GUID's 8-4-4-4-12 upper-case hex
// digits, new on every call.
#include "encode/attachment_id.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace qxsoap {
namespace {

TEST(AttachmentId, ShapeAndFreshness) {
  const std::regex shape("uuid:[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    std::u16string id;
    ASSERT_EQ(NewAttachmentId(&id), S_OK);
    const std::string narrow(id.begin(), id.end());  // any unit above ASCII fails the shape
    EXPECT_TRUE(std::regex_match(narrow, shape)) << narrow;
    EXPECT_TRUE(seen.insert(narrow).second) << "an identifier came twice";
  }
}

}  // namespace
}  // namespace qxsoap
