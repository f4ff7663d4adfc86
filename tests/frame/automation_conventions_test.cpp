// The argument conventions of Iqxsoapmsg2 on the real class, through the
// vtable and through IDispatch::Invoke.
#include <gtest/gtest.h>

#include "frame/automation_test_object.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using test::NewHandlerObject;

std::u16string Take(BSTR text) {
  qxcom::Bstr owner(text);
  return {text ? text : u"", SysStringLen(text)};
}

TEST(AutomationConventions, OnlyVariantTrueIsTrue) {
  auto object = NewHandlerObject();
  VARIANT_BOOL read = 42;
  EXPECT_EQ(object->SetRequestPhase(VARIANT_TRUE), S_OK);
  EXPECT_EQ(object->IsRequestPhase(&read), S_OK);
  EXPECT_EQ(read, VARIANT_TRUE);
  EXPECT_EQ(object->SetRequestPhase(1), S_OK);
  EXPECT_EQ(object->IsRequestPhase(&read), S_OK);
  EXPECT_EQ(read, VARIANT_FALSE) << "1 is the C++ true, not the automation one";
}

TEST(AutomationConventions, StringsOutAreNewAndNeverNull) {
  auto object = NewHandlerObject();
  BSTR url = nullptr;
  EXPECT_EQ(object->GetNextHopURL(&url), S_OK);
  ASSERT_NE(url, nullptr) << "an empty string is an allocated empty BSTR";
  EXPECT_EQ(SysStringLen(url), 0u);
  SysFreeString(url);

  EXPECT_EQ(object->SetMethodName(nullptr), S_OK) << "a null BSTR is the empty string";
  BSTR name = nullptr;
  EXPECT_EQ(object->GetMethodName(&name), S_OK);
  EXPECT_EQ(Take(name), u"");

  const OLECHAR withNull[] = {u'a', u'\0', u'b'};
  qxcom::Bstr embedded(SysAllocStringLen(withNull, 3));
  EXPECT_EQ(object->SetMethodNS(embedded.get()), S_OK);
  BSTR first = nullptr, second = nullptr;
  object->GetMethodNS(&first);
  object->GetMethodNS(&second);
  EXPECT_NE(first, second) << "every call hands out its own string";
  EXPECT_EQ(Take(first), std::u16string(withNull, 3)) << "embedded nulls survive";
  SysFreeString(second);
}

TEST(AutomationConventions, AFailedContentCopyIsTheResult) {
  auto object = NewHandlerObject();
  VARIANT bad;
  VariantInit(&bad);
  V_VT(&bad) = 0x0FFF;  // not a VARIANT type: the copy refuses it
  VARIANT_BOOL added = VARIANT_TRUE;
  const HRESULT hr = object->AddMethodParam(nullptr, nullptr, bad, VARIANT_TRUE, VARIANT_FALSE,
                                            &added);
  EXPECT_TRUE(FAILED(hr));
  EXPECT_EQ(added, VARIANT_FALSE);
  LONG count = -1;
  object->GetNumMethodParams(&count);
  EXPECT_EQ(count, 0) << "nothing is appended";
}

TEST(AutomationConventions, LateBoundCallsReachTheSameState) {
  auto object = NewHandlerObject();
  // AddMethodParam("urn:a", "p", 5, "true", 0): rgvarg holds them last
  // first, and the last two are coerced to VT_BOOL.
  const qxcom::Variant owned[] = {test::LongVariant(0), test::BstrVariant(u"true"),
                                  test::LongVariant(5), test::BstrVariant(u"p"),
                                  test::BstrVariant(u"urn:a")};
  VARIANTARG args[5];
  for (int i = 0; i < 5; ++i) args[i] = *owned[i].get();
  DISPPARAMS params{args, nullptr, 5, 0};
  qxcom::Variant result;
  ASSERT_EQ(object->Invoke(11, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr,
                           nullptr),
            S_OK);
  EXPECT_EQ(V_VT(result.get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);

  // Read it back through Invoke with by-reference outs: a typed BSTR
  // reference (an [out]: its old string stays the caller's to free) and
  // VARIANT references for the rest.
  const qxcom::Bstr previous(SysAllocString(u"the caller's"));
  BSTR ns = previous.get();
  qxcom::Variant targets[5];
  VARIANTARG outs[6];
  V_VT(&outs[5]) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&outs[5]) = &ns;
  for (int i = 0; i < 5; ++i) {
    V_VT(&outs[i]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&outs[i]) = targets[i].get();
  }
  DISPPARAMS iterate{outs, nullptr, 6, 0};
  qxcom::Variant more;
  ASSERT_EQ(object->Invoke(12, IID_NULL, 0, DISPATCH_METHOD, &iterate, more.get(), nullptr,
                           nullptr),
            S_OK);
  ASSERT_NE(ns, previous.get());
  EXPECT_EQ(Take(ns), u"urn:a");
  EXPECT_EQ(test::TextOf(*targets[4].get()), u"p");
  EXPECT_EQ(V_VT(targets[3].get()), VT_I4);
  EXPECT_EQ(V_I4(targets[3].get()), 5);
  EXPECT_EQ(V_BOOL(targets[2].get()), VARIANT_TRUE) << "\"true\" was coerced to VARIANT_TRUE";
  EXPECT_EQ(V_BOOL(targets[1].get()), VARIANT_FALSE);
  EXPECT_EQ(V_VT(targets[0].get()), VT_I4) << "the position";
  EXPECT_EQ(V_BOOL(more.get()), VARIANT_TRUE);
}

}  // namespace
}  // namespace qxsoap
