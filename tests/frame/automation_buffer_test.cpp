// SetBuffer and GetBuffer: byte arrays in and out.
#include <gtest/gtest.h>

#include "frame/automation_test_object.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using test::NewHandlerObject;

std::vector<BYTE> Buffer(Iqxsoapmsg2& object) {
  qxcom::Variant out;
  VARIANT_BOOL ok = VARIANT_FALSE;
  EXPECT_EQ(object.GetBuffer(out.get(), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(V_VT(out.get()), VT_ARRAY | VT_UI1);
  LONG lower = -1;
  SafeArrayGetLBound(V_ARRAY(out.get()), 1, &lower);
  EXPECT_EQ(lower, 0) << "arrays handed out start at 0";
  return test::BytesOf(V_ARRAY(out.get()));
}

TEST(AutomationBuffer, WhatIsNotAByteVectorLeavesTheMessage) {
  struct Row {
    const char* why;
    qxcom::Variant value;
  };
  SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
  Row rows[] = {
      {"a string", test::BstrVariant(u"<Envelope/>")},
      {"nothing", qxcom::Variant()},
      {"a null array", test::ArrayVariant(VT_UI1, nullptr)},
      {"two dimensions", test::ArrayVariant(VT_UI1, SafeArrayCreate(VT_UI1, 2, square))},
      {"strings, not bytes", test::StringArrayVariant({u"a"})},
  };
  auto object = NewHandlerObject();
  qxcom::Variant request = test::ByteArrayVariant({'a', 'b'});
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(object->SetBuffer(*request.get(), &ok), S_OK);
  for (Row& row : rows) {
    SCOPED_TRACE(row.why);
    ok = VARIANT_TRUE;
    EXPECT_EQ(object->SetBuffer(*row.value.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(Buffer(*object.get()), (std::vector<BYTE>{'a', 'b'}));
  }
}

// The bytes "ok" at indexes -3 and -2.
qxcom::Variant StartingAtMinusThree() {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, -3, 2);
  for (LONG index : {-3, -2}) {
    BYTE byte = index == -3 ? 'o' : 'k';
    SafeArrayPutElement(array, &index, &byte);
  }
  return test::ArrayVariant(VT_UI1, array);
}

// Late-bound callers pass their array variables by reference: every row
// goes through Invoke that way.
TEST(AutomationBuffer, BytesGoInAndComeBackUnchanged) {
  EXPECT_TRUE(Buffer(*NewHandlerObject().get()).empty()) << "a fresh object has an empty message";
  struct Row {
    const char* why;
    qxcom::Variant value;
    std::vector<BYTE> bytes;
  };
  Row rows[] = {
      {"any byte value, nulls included", test::ByteArrayVariant({0x3C, 0x00, 0xFF, 0x0A}),
       {0x3C, 0x00, 0xFF, 0x0A}},
      {"an empty array is an empty message", test::ByteArrayVariant({}), {}},
      {"a lower bound other than zero", StartingAtMinusThree(), {'o', 'k'}},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.why);
    auto object = NewHandlerObject();
    VARIANTARG byRef;
    V_VT(&byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRef) = row.value.get();
    DISPPARAMS params{&byRef, nullptr, 1, 0};
    qxcom::Variant ok;
    ASSERT_EQ(object->Invoke(46, IID_NULL, 0, DISPATCH_METHOD, &params, ok.get(), nullptr,
                             nullptr),
              S_OK);
    EXPECT_EQ(V_BOOL(ok.get()), VARIANT_TRUE);
    EXPECT_EQ(Buffer(*object.get()), row.bytes);
    EXPECT_EQ(Buffer(*object.get()), row.bytes) << "the handler keeps its own copy";
  }
}

TEST(AutomationBuffer, ALockedArrayIsReadAndStaysLocked) {
  auto object = NewHandlerObject();
  qxcom::Variant request = test::ByteArrayVariant({'x'});
  SafeArrayLock(V_ARRAY(request.get()));
  VARIANT_BOOL ok = VARIANT_FALSE;
  EXPECT_EQ(object->SetBuffer(*request.get(), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(V_ARRAY(request.get())->cLocks, 1u) << "the caller's lock is the caller's";
  SafeArrayUnlock(V_ARRAY(request.get()));
}

}  // namespace
}  // namespace qxsoap
