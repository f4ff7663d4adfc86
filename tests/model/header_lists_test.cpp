// Header block targeting and the take-out look-ups of both header lists.
#include <gtest/gtest.h>

#include "model/header_lists.h"
#include "xml/namespaces.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using test::BstrVariant;
using test::TextOf;

constexpr std::u16string_view kNs = u"urn:h";
constexpr std::u16string_view kRoleA = u"urn:role:a";

struct TargetRow {
  const char* why;
  std::u16string_view actor;
  bool intermediary;
  bool targeted;
};

constexpr TargetRow kTargetRows[] = {
    {"no actor at the last node", u"", false, true},
    {"no actor at an intermediary is for a later node", u"", true, false},
    {"a role the node plays", kRoleA, true, true},
    {"a role the node does not play", u"urn:role:b", false, false},
    {"roles compare case-sensitively", u"URN:ROLE:A", false, false},
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

TEST(IsTargeted, EmptyStringAsARoleTargetsUnaddressedBlocksAtAnIntermediary) {
  RoleSet roles;
  roles.Add(u"");
  EXPECT_TRUE(IsTargeted(u"", {roles, true, 11}));
}

class TakeTypedTest : public ::testing::Test {
 protected:
  void Add(std::u16string_view name, std::u16string_view actor, std::u16string_view value) {
    qxcom::Variant content = BstrVariant(value);
    ASSERT_EQ(lists_.AddTyped(kNs, name, content.get(), false, actor, false, true), S_OK);
  }
  // Takes block `name`; returns its text, or "-" when nothing matched.
  std::u16string Take(std::u16string_view name, const NodeTargeting& node) {
    qxcom::Variant content = BstrVariant(u"stale");
    bool found = false;
    EXPECT_EQ(lists_.TakeTyped(kNs, name, node, content.get(), &found), S_OK);
    if (!found) {
      EXPECT_EQ(V_VT(content.get()), VT_EMPTY) << "no match must hand out VT_EMPTY";
      return u"-";
    }
    return TextOf(*content.get());
  }

  RoleSet roles_;
  HeaderLists lists_;
};

TEST_F(TakeTypedTest, DuplicatesComeOutInOrderThenNothing) {
  Add(u"h", u"", u"first");
  Add(u"h", u"", u"second");
  const NodeTargeting node{roles_, false, 11};
  EXPECT_EQ(Take(u"h", node), u"first");
  EXPECT_EQ(Take(u"h", node), u"second");
  EXPECT_EQ(Take(u"h", node), u"-");
  EXPECT_EQ(lists_.typed.Count(), 0);
}

TEST_F(TakeTypedTest, NoneRoleStaysInSoap12AndIsConsumedInSoap11) {
  Add(u"h", SOAP12_ROLE_NONE, u"info");
  const NodeTargeting soap12{roles_, false, 12};
  EXPECT_EQ(Take(u"h", soap12), u"info");
  EXPECT_EQ(Take(u"h", soap12), u"info");
  EXPECT_EQ(lists_.typed.Count(), 1);
  const NodeTargeting soap11{roles_, false, 11};
  EXPECT_EQ(Take(u"h", soap11), u"info");
  EXPECT_EQ(lists_.typed.Count(), 0);
}

TEST_F(TakeTypedTest, IntermediaryLeavesUnaddressedBlocksForTheLastNode) {
  Add(u"h", u"", u"for the end");
  Add(u"h", kRoleA, u"for a");
  roles_.Add(std::u16string(kRoleA));
  const NodeTargeting intermediary{roles_, true, 11};
  EXPECT_EQ(Take(u"h", intermediary), u"for a");
  EXPECT_EQ(Take(u"h", intermediary), u"-");
  EXPECT_EQ(lists_.typed.Count(), 1);
}

TEST_F(TakeTypedTest, NameAndNamespaceMustBothMatchExactly) {
  Add(u"h", u"", u"x");
  const NodeTargeting node{roles_, false, 11};
  EXPECT_EQ(Take(u"H", node), u"-");
  bool found = true;
  qxcom::Variant content;
  EXPECT_EQ(lists_.TakeTyped(u"urn:other", u"h", node, content.get(), &found), S_OK);
  EXPECT_FALSE(found);
}

TEST(TakeLiteral, NoneRoleMatchesOnlyWhenItIsARole) {
  HeaderLists lists;
  ASSERT_TRUE(lists.AddLiteral(kNs, u"h", u"<h/>", false, SOAP12_ROLE_NONE, false, u"", true));
  RoleSet roles;
  std::u16string xml = u"untouched";
  EXPECT_FALSE(lists.TakeLiteral(kNs, u"h", {roles, false, 12}, &xml));
  EXPECT_EQ(xml, u"untouched");
  roles.Add(std::u16string(SOAP12_ROLE_NONE));
  EXPECT_TRUE(lists.TakeLiteral(kNs, u"h", {roles, false, 12}, &xml));
  EXPECT_EQ(xml, u"<h/>");
  EXPECT_EQ(lists.literal.Count(), 1) << "a SOAP 1.2 none block is never consumed";
  EXPECT_TRUE(lists.TakeLiteral(kNs, u"h", {roles, false, 11}, &xml));
  EXPECT_EQ(lists.literal.Count(), 0);
}

TEST(HeaderContent, IsADeepCopyAndByRefIsDereferenced) {
  HeaderLists lists;
  qxcom::Variant original = BstrVariant(u"value");
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = original.get();
  ASSERT_EQ(lists.AddTyped(kNs, u"h", &reference, true, u"", true, false), S_OK);
  ASSERT_EQ(lists.AddTyped(kNs, u"null", nullptr, false, u"", false, false), S_OK);
  original = BstrVariant(u"changed");

  LONG position = 0;
  const HeaderElem* block = lists.typed.First(position);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(TextOf(*block->content.get()), u"value");
  EXPECT_TRUE(block->mustUnderstand);
  EXPECT_TRUE(block->relay);
  EXPECT_FALSE(block->received);
  EXPECT_EQ(V_VT(lists.typed.Next(position)->content.get()), VT_EMPTY);
}

TEST(HeaderContent, UncopyableContentAppendsNothing) {
  HeaderLists lists;
  VARIANT bad;
  V_VT(&bad) = 0x0FFF;  // not a VARIANT type
  EXPECT_TRUE(FAILED(lists.AddTyped(kNs, u"h", &bad, false, u"", false, false)));
  EXPECT_EQ(lists.typed.Count(), 0);
}

}  // namespace
}  // namespace qxsoap
