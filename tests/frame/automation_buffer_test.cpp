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

qxcom::Variant TwoDimensional() {
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  qxcom::Variant value;
  V_VT(value.get()) = VT_ARRAY | VT_UI1;
  V_ARRAY(value.get()) = SafeArrayCreate(VT_UI1, 2, bounds);
  return value;
}

TEST(AutomationBuffer, WhatIsNotAByteVectorLeavesTheMessage) {
  struct Row {
    const char* why;
    qxcom::Variant value;
  };
  qxcom::Variant nullArray;
  V_VT(nullArray.get()) = VT_ARRAY | VT_UI1;
  Row rows[] = {
      {"a string", test::BstrVariant(u"<Envelope/>")},
      {"nothing", qxcom::Variant()},
      {"a null array", std::move(nullArray)},
      {"two dimensions", TwoDimensional()},
      {"strings, not bytes", test::StringArrayVariant({u"a"})},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.why);
    auto object = NewHandlerObject();
    qxcom::Variant request = test::ByteArrayVariant({'a', 'b'});
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(object->SetBuffer(*request.get(), &ok), S_OK);
    ok = VARIANT_TRUE;
    EXPECT_EQ(object->SetBuffer(*row.value.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_FALSE);
    EXPECT_EQ(Buffer(*object.get()), (std::vector<BYTE>{'a', 'b'}));
  }
}

TEST(AutomationBuffer, BytesGoInAndComeBackUnchanged) {
  auto object = NewHandlerObject();
  EXPECT_TRUE(Buffer(*object.get()).empty()) << "a fresh object has an empty message";

  const std::vector<BYTE> bytes = {0x3C, 0x00, 0xFF, 0x0A};
  qxcom::Variant request = test::ByteArrayVariant(bytes);
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(object->SetBuffer(*request.get(), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(Buffer(*object.get()), bytes);
  EXPECT_EQ(Buffer(*object.get()), bytes) << "the handler keeps its own copy";

  qxcom::Variant empty = test::ByteArrayVariant({});
  ASSERT_EQ(object->SetBuffer(*empty.get(), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE) << "an empty array is an empty message";
  EXPECT_TRUE(Buffer(*object.get()).empty());
}

TEST(AutomationBuffer, ALowerBoundOtherThanZeroIsAccepted) {
  auto object = NewHandlerObject();
  qxcom::Variant request;
  V_VT(request.get()) = VT_ARRAY | VT_UI1;
  V_ARRAY(request.get()) = SafeArrayCreateVector(VT_UI1, -3, 2);
  void* data = nullptr;
  SafeArrayAccessData(V_ARRAY(request.get()), &data);
  static_cast<BYTE*>(data)[0] = 'o';
  static_cast<BYTE*>(data)[1] = 'k';
  SafeArrayUnaccessData(V_ARRAY(request.get()));
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(object->SetBuffer(*request.get(), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(Buffer(*object.get()), (std::vector<BYTE>{'o', 'k'}));
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

TEST(AutomationBuffer, ByteArraysPassedByReferenceThroughInvoke) {
  auto object = NewHandlerObject();
  qxcom::Variant bytes = test::ByteArrayVariant({'h', 'i'});
  VARIANTARG byRef;
  V_VT(&byRef) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&byRef) = bytes.get();
  DISPPARAMS params{&byRef, nullptr, 1, 0};
  qxcom::Variant result;
  ASSERT_EQ(object->Invoke(46, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr,
                           nullptr),
            S_OK);
  EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);
  EXPECT_EQ(Buffer(*object.get()), (std::vector<BYTE>{'h', 'i'}));
}

}  // namespace
}  // namespace qxsoap
