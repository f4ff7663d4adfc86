// Header block targeting and the take-out look-ups of both header lists.
#include <gtest/gtest.h>

#include "model/header_lists.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

constexpr std::u16string_view kNs = u"urn:h";
constexpr std::u16string_view kRoleA = u"urn:role:a";

struct TargetRow {
  const char* why;
  std::u16string_view actor;
  bool intermediary, targeted;
};

constexpr TargetRow kTargetRows[] = {
    {"no actor at the last node", u"", false, true},
    {"no actor at an intermediary is for a later node", u"", true, false},
    {"a role the node plays", kRoleA, true, true},
    {"a role the node does not play", u"urn:role:b", false, false},
    {"none is not targeted by itself", SOAP12_ROLE_NONE, false, false},
};

TEST(IsTargeted, Rows) {
  RoleSet roles;
  roles.Add(std::u16string(kRoleA));
  for (const TargetRow& row : kTargetRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(IsTargeted(row.actor, {roles, row.intermediary, 11}), row.targeted);
  }
}

class TakeTypedTest : public ::testing::Test {
 protected:
  void Add(std::u16string_view name, std::u16string_view actor, std::u16string_view value) {
    qxcom::Variant content = test::BstrVariant(value);
    ASSERT_EQ(lists_.AddTyped(kNs, name, content.get(), false, actor, false, true), S_OK);
  }
  // Takes block {urn:h}name; returns its text, or "-" when nothing matched.
  std::u16string Take(std::u16string_view name, const NodeTargeting& node) {
    qxcom::Variant content = test::BstrVariant(u"stale");
    bool found = false;
    EXPECT_EQ(lists_.TakeTyped(kNs, name, node, content.get(), &found), S_OK);
    if (!found) {
      EXPECT_EQ(V_VT(content.get()), VT_EMPTY) << "no match must hand out VT_EMPTY";
      return u"-";
    }
    return test::TextOf(*content.get());
  }

  RoleSet roles_;
  HeaderLists lists_;
};

TEST_F(TakeTypedTest, DuplicatesComeOutInOrderThenNothing) {
  Add(u"h", u"", u"first");
  Add(u"h", u"", u"second");
  const NodeTargeting node{roles_, false, 11};
  EXPECT_EQ(Take(u"H", node), u"-") << "names compare exactly";
  EXPECT_EQ(Take(u"h", node), u"first");
  EXPECT_EQ(Take(u"h", node), u"second");
  EXPECT_EQ(Take(u"h", node), u"-");
  EXPECT_EQ(lists_.typed.Count(), 0);
}

TEST(TakeLiteral, NoneRoleMatchesOnlyWhenItIsARole) {
  HeaderLists lists;
  ASSERT_TRUE(lists.AddLiteral(kNs, u"h", u"<h/>", false, SOAP12_ROLE_NONE, false, u"", true));
  RoleSet roles;
  std::u16string xml;
  EXPECT_FALSE(lists.TakeLiteral(kNs, u"h", {roles, false, 12}, &xml));
  roles.Add(std::u16string(SOAP12_ROLE_NONE));
  EXPECT_TRUE(lists.TakeLiteral(kNs, u"h", {roles, false, 12}, &xml));
  EXPECT_EQ(xml, u"<h/>");
  EXPECT_EQ(lists.literal.Count(), 1) << "a SOAP 1.2 none block is never consumed";
  EXPECT_TRUE(lists.TakeLiteral(kNs, u"h", {roles, false, 11}, &xml));
  EXPECT_EQ(lists.literal.Count(), 0);
}

}  // namespace
}  // namespace qxsoap
