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
  struct Row {
    const char* why;
    VARIANT_BOOL given;
    VARIANT_BOOL readBack;
  };
  const Row rows[] = {
      {"VARIANT_TRUE", VARIANT_TRUE, VARIANT_TRUE},
      {"1 is the C++ true, not the automation one", 1, VARIANT_FALSE},
      {"any other bit pattern", 0x7FFF, VARIANT_FALSE},
      {"VARIANT_FALSE", VARIANT_FALSE, VARIANT_FALSE},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    auto object = NewHandlerObject();
    VARIANT_BOOL read = 42;
    EXPECT_EQ(object->SetRequestPhase(row.given), S_OK);
    EXPECT_EQ(object->IsRequestPhase(&read), S_OK);
    EXPECT_EQ(read, row.readBack);
  }
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

TEST(AutomationConventions, VariantsAreCopiedBothWays) {
  auto object = NewHandlerObject();
  {
    qxcom::Variant value = test::BstrVariant(u"forty-two");
    EXPECT_EQ(object->SetReturnValue(*value.get()), S_OK);
  }  // the caller's string is freed here; the handler kept its own
  qxcom::Variant out = test::LongVariant(7);
  EXPECT_EQ(object->GetReturnValue(out.get()), S_OK) << "the previous content is cleared";
  EXPECT_EQ(test::TextOf(*out.get()), u"forty-two");
  qxcom::Variant again;
  EXPECT_EQ(object->GetReturnValue(again.get()), S_OK);
  EXPECT_NE(V_BSTR(out.get()), V_BSTR(again.get())) << "each copy is deep";

  VARIANT bad;
  VariantInit(&bad);
  V_VT(&bad) = 0x0FFF;  // not a VARIANT type: the copy refuses it
  EXPECT_TRUE(FAILED(object->SetReturnValue(bad)));
  ASSERT_EQ(object->GetReturnValue(out.get()), S_OK);
  EXPECT_EQ(V_VT(out.get()), VT_EMPTY) << "a failed copy leaves no half value";
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

TEST(AutomationConventions, IterationWritesContentEveryTime) {
  auto object = NewHandlerObject();
  BSTR ns = nullptr, name = nullptr, actor = nullptr;
  VARIANT_BOOL mustUnderstand = 5, found = VARIANT_TRUE;
  qxcom::Variant content = test::LongVariant(1);
  LONG position = 77;
  EXPECT_EQ(object->GetFirstHeaderElem(&ns, &name, content.get(), &mustUnderstand, &actor,
                                       &position, &found),
            S_OK);
  EXPECT_EQ(found, VARIANT_FALSE);
  EXPECT_EQ(V_VT(content.get()), VT_EMPTY) << "an empty list still writes the content";
  EXPECT_EQ(ns, nullptr) << "and nothing else";
  EXPECT_EQ(position, 77);

  qxcom::Bstr blockNs(SysAllocString(u"urn:h")), blockName(SysAllocString(u"Auth"));
  qxcom::Variant value = test::BstrVariant(u"token");
  VARIANT_BOOL added = VARIANT_FALSE;
  ASSERT_EQ(object->AddHeaderElem12(blockNs.get(), blockName.get(), *value.get(), VARIANT_TRUE,
                                    nullptr, VARIANT_TRUE, &added),
            S_OK);
  ASSERT_EQ(added, VARIANT_TRUE);
  position = -1;
  VARIANT_BOOL relay = VARIANT_FALSE;
  BSTR role = nullptr;
  EXPECT_EQ(object->GetNextHeaderElem12(&ns, &name, content.get(), &mustUnderstand, &role, &relay,
                                        &position, &found),
            S_OK);
  EXPECT_EQ(found, VARIANT_TRUE) << "GetNext from -1 reads record 0";
  EXPECT_EQ(position, 0);
  EXPECT_EQ(Take(ns), u"urn:h");
  EXPECT_EQ(Take(name), u"Auth");
  EXPECT_EQ(Take(role), u"");
  EXPECT_EQ(mustUnderstand, VARIANT_TRUE);
  EXPECT_EQ(relay, VARIANT_TRUE);
  EXPECT_EQ(test::TextOf(*content.get()), u"token");
}

TEST(AutomationConventions, LateBoundCallsReachTheSameState) {
  auto object = NewHandlerObject();
  // AddMethodParam("urn:a", "p", 5, true, false): rgvarg holds them last first.
  qxcom::Bstr ns(SysAllocString(u"urn:a")), name(SysAllocString(u"p"));
  VARIANTARG args[5];
  for (VARIANTARG& arg : args) VariantInit(&arg);
  V_VT(&args[4]) = VT_BSTR;
  V_BSTR(&args[4]) = ns.get();
  V_VT(&args[3]) = VT_BSTR;
  V_BSTR(&args[3]) = name.get();
  V_VT(&args[2]) = VT_I4;
  V_I4(&args[2]) = 5;
  qxcom::Bstr trueText(SysAllocString(u"true"));
  V_VT(&args[1]) = VT_BSTR;  // coerced to VT_BOOL
  V_BSTR(&args[1]) = trueText.get();
  V_VT(&args[0]) = VT_BOOL;
  V_BOOL(&args[0]) = VARIANT_FALSE;
  DISPPARAMS params{args, nullptr, 5, 0};
  qxcom::Variant result;
  ASSERT_EQ(object->Invoke(11, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr,
                           nullptr),
            S_OK);
  EXPECT_EQ(V_VT(result.get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);

  // Read it back through Invoke with by-reference outs: a typed BSTR
  // reference (whose old string is replaced) and VARIANT references for the
  // rest.
  BSTR oldNs = SysAllocString(u"replaced");
  VARIANT targets[6];
  for (VARIANT& target : targets) VariantInit(&target);
  VARIANTARG outs[6];
  V_VT(&outs[5]) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&outs[5]) = &oldNs;
  for (int i = 0; i < 5; ++i) {
    V_VT(&outs[i]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&outs[i]) = &targets[i];
  }
  DISPPARAMS iterate{outs, nullptr, 6, 0};
  qxcom::Variant more;
  ASSERT_EQ(object->Invoke(12, IID_NULL, 0, DISPATCH_METHOD, &iterate, more.get(), nullptr,
                           nullptr),
            S_OK);
  EXPECT_EQ(Take(oldNs), u"urn:a");
  EXPECT_EQ(test::TextOf(targets[4]), u"p");
  EXPECT_EQ(V_VT(&targets[3]), VT_I4);
  EXPECT_EQ(V_I4(&targets[3]), 5);
  EXPECT_EQ(V_BOOL(&targets[2]), VARIANT_TRUE) << "\"true\" was coerced to VARIANT_TRUE";
  EXPECT_EQ(V_BOOL(&targets[1]), VARIANT_FALSE);
  EXPECT_EQ(V_VT(&targets[0]), VT_I4) << "the position";
  EXPECT_EQ(V_BOOL(more.get()), VARIANT_TRUE);
  for (VARIANT& target : targets) VariantClear(&target);
}

}  // namespace
}  // namespace qxsoap
