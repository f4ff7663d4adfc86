// The node's roles and the mustUnderstand blocks addressed to it.
#include <gtest/gtest.h>

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
  SAFEARRAY* array = V_ARRAY(out.get());
  LONG lower = -1;
  SafeArrayGetLBound(array, 1, &lower);
  EXPECT_EQ(lower, 0);
  for (LONG i = 0; i < static_cast<LONG>(array->rgsabound[0].cElements); ++i) {
    qxcom::Variant element;
    SafeArrayGetElement(array, &i, element.get());
    texts.push_back(TextOf(*element.get()));
  }
  return texts;
}

TEST(RoleSet, DuplicatesOnceAndAscendingAcrossCalls) {
  RoleSet roles;
  qxcom::Variant first = StringArrayVariant({u"urn:b", u"urn:b"});
  qxcom::Variant second = StringArrayVariant({u"urn:a", u"urn:C"});
  EXPECT_TRUE(roles.AddFrom(first.get()));
  EXPECT_TRUE(roles.AddFrom(second.get()));
  EXPECT_EQ(RolesOf(roles), (std::vector<std::u16string>{u"urn:C", u"urn:a", u"urn:b"}));
}

TEST(RoleSet, EmptyArrayIsAcceptedAndGivesAnEmptyArray) {
  RoleSet roles;
  qxcom::Variant none = StringArrayVariant({});
  EXPECT_TRUE(roles.AddFrom(none.get()));
  EXPECT_TRUE(RolesOf(roles).empty());
}

TEST(RoleSet, RefusedInputsChangeNothing) {
  RoleSet roles;
  roles.Add(u"urn:kept");
  qxcom::Variant text = test::BstrVariant(u"urn:x");
  qxcom::Variant bytes = test::ByteArrayVariant({1, 2});
  qxcom::Variant mixed = StringArrayVariant({u"urn:x", u"urn:y"});
  LONG index = 1;
  qxcom::Variant number = test::LongVariant(3);
  SafeArrayPutElement(V_ARRAY(mixed.get()), &index, number.get());
  qxcom::Variant mislabelled;
  V_ARRAY(mislabelled.get()) = SafeArrayCreateVector(VT_BSTR, 0, 4);
  V_VT(mislabelled.get()) = VT_ARRAY | VT_VARIANT;
  SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
  qxcom::Variant twoDimensions;
  V_ARRAY(twoDimensions.get()) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  V_VT(twoDimensions.get()) = VT_ARRAY | VT_VARIANT;
  const struct {
    const char* why;
    const VARIANT* value;
  } rows[] = {
      {"null", nullptr},
      {"a string, not an array", text.get()},
      {"an array of bytes", bytes.get()},
      {"an element that is not a string", mixed.get()},
      {"two dimensions", twoDimensions.get()},
      {"an array of BSTRs tagged as VARIANTs is not read past its end", mislabelled.get()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_FALSE(roles.AddFrom(row.value));
    EXPECT_EQ(RolesOf(roles), std::vector<std::u16string>{u"urn:kept"});
  }
}

TEST(RoleSet, ArrayByReferenceIsRead) {
  RoleSet roles;
  qxcom::Variant array = StringArrayVariant({u"urn:r"});
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(&reference) = &V_ARRAY(array.get());
  EXPECT_TRUE(roles.AddFrom(&reference));
  EXPECT_TRUE(roles.Contains(u"urn:r"));
}

// Reads the (row, column) element of a 2 x N block name array.
std::u16string At(SAFEARRAY* array, LONG row, LONG column) {
  LONG indices[2] = {row, column};
  qxcom::Variant element;
  EXPECT_EQ(SafeArrayGetElement(array, indices, element.get()), S_OK);
  return TextOf(*element.get());
}

TEST(MustUnderstandBlocks, TargetedBlocksOfBothListsTypedFirst) {
  RoleSet roles;
  roles.Add(u"urn:me");
  HeaderLists headers;
  headers.AddLiteral(u"urn:l", u"lit", u"<lit/>", true, u"urn:me", false, u"", true);
  headers.AddTyped(u"urn:t", u"notMu", nullptr, false, u"", false, true);
  headers.AddTyped(u"urn:t", u"other", nullptr, true, u"urn:other", false, true);
  headers.AddTyped(u"urn:t", u"added", nullptr, true, u"", false, false);
  qxcom::Variant out;
  ASSERT_EQ(HandOutMustUnderstandBlocks(headers, {roles, false, 11}, out.get()), S_OK);
  ASSERT_EQ(V_VT(out.get()), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = V_ARRAY(out.get());
  ASSERT_EQ(SafeArrayGetDim(array), 2u);
  LONG upper = -1;
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(upper, 1) << "the first dimension holds namespace and name";
  SafeArrayGetUBound(array, 2, &upper);
  EXPECT_EQ(upper, 1) << "two qualifying blocks";
  EXPECT_EQ(At(array, 0, 0), u"urn:t");
  EXPECT_EQ(At(array, 1, 0), u"added");
  EXPECT_EQ(At(array, 0, 1), u"urn:l");
  EXPECT_EQ(At(array, 1, 1), u"lit");
}

TEST(MustUnderstandBlocks, NoneGiveTwoByZero) {
  RoleSet roles;
  HeaderLists headers;
  headers.AddTyped(u"urn:t", u"h", nullptr, true, u"", false, true);
  qxcom::Variant out;
  ASSERT_EQ(HandOutMustUnderstandBlocks(headers, {roles, true, 11}, out.get()), S_OK);
  SAFEARRAY* array = V_ARRAY(out.get());
  ASSERT_EQ(SafeArrayGetDim(array), 2u);
  LONG lower = 0, upper = 0;
  SafeArrayGetLBound(array, 2, &lower);
  SafeArrayGetUBound(array, 2, &upper);
  EXPECT_EQ(upper - lower + 1, 0);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(upper, 1);
}

}  // namespace
}  // namespace qxsoap
