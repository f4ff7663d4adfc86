// The node's roles and the mustUnderstand blocks addressed to the node.
#include <gtest/gtest.h>

#include "model/header_lists.h"
#include "model/mu_header_blocks.h"
#include "model/role_set.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using test::StringArrayVariant;
using test::TextOf;

std::vector<std::u16string> RolesOf(const RoleSet& roles) {
  qxcom::Variant out;
  EXPECT_EQ(roles.HandOut(out.get()), S_OK);
  EXPECT_EQ(V_VT(out.get()), VT_ARRAY | VT_VARIANT);
  std::vector<std::u16string> texts;
  for (LONG i = 0; i < static_cast<LONG>(V_ARRAY(out.get())->rgsabound[0].cElements); ++i) {
    qxcom::Variant element;
    EXPECT_EQ(SafeArrayGetElement(V_ARRAY(out.get()), &i, element.get()), S_OK) << "lower bound 0";
    texts.push_back(TextOf(*element.get()));
  }
  return texts;
}

TEST(RoleSet, AcceptedArraysAddEachRoleOnceInAscendingOrder) {
  RoleSet roles;
  qxcom::Variant none = StringArrayVariant({});
  EXPECT_TRUE(roles.AddFrom(none.get())) << "an empty array is accepted";
  qxcom::Variant first = StringArrayVariant({u"urn:b", u"urn:b"});
  qxcom::Variant second = StringArrayVariant({u"urn:a", u"urn:C"});
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(&reference) = &V_ARRAY(second.get());
  EXPECT_TRUE(roles.AddFrom(first.get()));
  EXPECT_TRUE(roles.AddFrom(&reference)) << "an array by reference is read";
  EXPECT_EQ(RolesOf(roles), (std::vector<std::u16string>{u"urn:C", u"urn:a", u"urn:b"}));
}

TEST(RoleSet, RefusedInputsChangeNothing) {
  RoleSet roles;
  roles.Add(u"urn:kept");
  qxcom::Variant mixed = StringArrayVariant({u"urn:x", u"urn:y"});
  LONG index = 1;
  SafeArrayPutElement(V_ARRAY(mixed.get()), &index, test::LongVariant(3).get());
  SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
  qxcom::Variant twoDimensions = test::ArrayVariant(VT_VARIANT, SafeArrayCreate(VT_VARIANT, 2, bounds));
  const std::pair<const char*, const VARIANT*> rows[] = {
      {"null", nullptr},
      {"an element that is not a string", mixed.get()},
      {"two dimensions", twoDimensions.get()},
  };
  for (const auto& [why, value] : rows) {
    SCOPED_TRACE(why);
    EXPECT_FALSE(roles.AddFrom(value));
    EXPECT_EQ(roles.Size(), 1u);
  }
}

// The 2 x N block name array as "ns name;" per column, after checking its
// shape: two dimensions, the first holding namespace and name.
std::u16string BlockNames(const HeaderLists& headers, const NodeTargeting& node) {
  qxcom::Variant out;
  EXPECT_EQ(HandOutMustUnderstandBlocks(headers, node, out.get()), S_OK);
  EXPECT_EQ(V_VT(out.get()), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = V_ARRAY(out.get());
  EXPECT_EQ(SafeArrayGetDim(array), 2u);
  LONG rows = -1, columns = -2;
  SafeArrayGetUBound(array, 1, &rows);
  SafeArrayGetUBound(array, 2, &columns);
  EXPECT_EQ(rows, 1) << "namespace and name";
  std::u16string names;
  for (LONG column = 0; column <= columns; ++column) {
    for (LONG row : {0, 1}) {
      LONG indices[2] = {row, column};
      qxcom::Variant element;
      EXPECT_EQ(SafeArrayGetElement(array, indices, element.get()), S_OK);
      names += TextOf(*element.get()) + (row == 0 ? u" " : u";");
    }
  }
  return names;
}

TEST(MustUnderstandBlocks, TargetedBlocksOfBothListsTypedFirst) {
  RoleSet roles;
  roles.Add(u"urn:me");
  HeaderLists headers;
  headers.AddLiteral(u"urn:l", u"lit", u"<lit/>", true, u"urn:me", false, u"", true);
  headers.AddTyped(u"urn:t", u"notMu", nullptr, false, u"", false, true);
  headers.AddTyped(u"urn:t", u"other", nullptr, true, u"urn:other", false, true);
  headers.AddTyped(u"urn:t", u"added", nullptr, true, u"", false, false);
  EXPECT_EQ(BlockNames(headers, {roles, false, 11}), u"urn:t added;urn:l lit;");
  EXPECT_EQ(BlockNames(headers, {roles, true, 11}), u"urn:l lit;") << "unaddressed: not at an intermediary";
  EXPECT_EQ(BlockNames(HeaderLists(), {roles, false, 11}), u"") << "none qualifying: 2 x 0";
}

}  // namespace
}  // namespace qxsoap
