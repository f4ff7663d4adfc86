// The real class through its vtable and IDispatch: identity and
// aggregation, type information, argument conventions, and byte buffers.
#include <gtest/gtest.h>

#include "frame/late_bound_arguments.h"

namespace qxsoap {
namespace {

using test::NewHandlerObject;

std::u16string Take(BSTR text) {
  qxcom::Bstr owner(text);
  return {text ? text : u"", SysStringLen(text)};
}

// An outer object for aggregation: counts the references delegated to it.
struct Outer final : IUnknown {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  ULONG references = 1;
};

TEST(Automation, OneIdentityOrDelegationToTheOuterObject) {
  auto object = NewHandlerObject();
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_Iqxsoapmsg2}) {
    void* found = nullptr;
    EXPECT_EQ(object->QueryInterface(*iid, &found), S_OK);
    EXPECT_EQ(found, static_cast<Iqxsoapmsg2*>(object.get())) << "one identity";
    object->Release();
  }
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);

  Outer outer;
  EXPECT_EQ(qxsoapmsg2::CreateInstance(&outer, IID_Iqxsoapmsg2, &other), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(other, nullptr);
  ASSERT_EQ(qxsoapmsg2::CreateInstance(&outer, IID_IUnknown, &other), S_OK);
  auto* inner = static_cast<IUnknown*>(other);
  ASSERT_EQ(inner->QueryInterface(IID_Iqxsoapmsg2, &other), S_OK);
  EXPECT_EQ(outer.references, 2u) << "the interface's reference belongs to the outer object";
  auto* handler = static_cast<Iqxsoapmsg2*>(other);
  EXPECT_EQ(handler->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE)
      << "the interface query is the outer object's";
  handler->Release();
  EXPECT_EQ(outer.references, 1u);
  EXPECT_EQ(inner->Release(), 0u);
}

TEST(Automation, TypeInfoDescribesTheDualInterfaceAndItsFunctions) {
  auto object = NewHandlerObject();
  UINT count = 0;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* none = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(object->GetTypeInfo(1, 0, &none), DISP_E_BADINDEX);
  EXPECT_EQ(none, nullptr);
  ITypeInfo* raw = nullptr;
  ASSERT_EQ(object->GetTypeInfo(0, 0, &raw), S_OK);
  auto info = qxcom::ComPtr<ITypeInfo>::Adopt(raw);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(attributes->guid == IID_Iqxsoapmsg2);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->cFuncs, 101);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attributes);

  FUNCDESC* next = nullptr;
  ASSERT_EQ(info->GetFuncDesc(7, &next), S_OK);  // GetNextHeaderElem
  EXPECT_EQ(next->memid, 8);
  EXPECT_EQ(next->funckind, FUNC_DISPATCH);
  EXPECT_EQ(next->cParams, 6) << "the retval is the return type, not a parameter";
  EXPECT_EQ(next->elemdescFunc.tdesc.vt, VT_BOOL);
  EXPECT_EQ(next->lprgelemdescParam[2].tdesc.vt, VT_PTR);
  EXPECT_EQ(next->lprgelemdescParam[2].tdesc.lptdesc->vt, VT_VARIANT);
  EXPECT_EQ(next->lprgelemdescParam[2].paramdesc.wParamFlags, PARAMFLAG_FOUT);
  EXPECT_EQ(next->lprgelemdescParam[5].paramdesc.wParamFlags, PARAMFLAG_FIN | PARAMFLAG_FOUT)
      << "GetNext reads the position it writes";
  info->ReleaseFuncDesc(next);
  EXPECT_EQ(info->GetFuncDesc(101, &next), TYPE_E_ELEMENTNOTFOUND);
}

TEST(Automation, OnlyVariantTrueIsTrue) {
  auto object = NewHandlerObject();
  VARIANT_BOOL read = 42;
  object->SetRequestPhase(VARIANT_TRUE);
  EXPECT_EQ(object->IsRequestPhase(&read), S_OK);
  EXPECT_EQ(read, VARIANT_TRUE);
  object->SetRequestPhase(1);
  object->IsRequestPhase(&read);
  EXPECT_EQ(read, VARIANT_FALSE) << "1 is the C++ true, not the automation one";
}

TEST(Automation, StringsOutAreNewAndNeverNull) {
  auto object = NewHandlerObject();
  BSTR url = nullptr;
  EXPECT_EQ(object->GetNextHopURL(&url), S_OK);
  ASSERT_NE(url, nullptr) << "an empty string is an allocated empty BSTR";
  EXPECT_EQ(Take(url), u"");
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

TEST(Automation, AFailedContentCopyIsTheResult) {
  auto object = NewHandlerObject();
  VARIANT bad;
  VariantInit(&bad);
  V_VT(&bad) = 0x0FFF;  // not a VARIANT type: the copy refuses it
  VARIANT_BOOL added = VARIANT_TRUE;
  EXPECT_TRUE(FAILED(object->AddMethodParam(nullptr, nullptr, bad, VARIANT_TRUE, 0, &added)));
  EXPECT_EQ(added, VARIANT_FALSE);
  LONG count = -1;
  object->GetNumMethodParams(&count);
  EXPECT_EQ(count, 0) << "nothing is appended";
}

// A host's object whose last Release empties one of the handler's lists, as
// a script object's terminate code may.
struct EmptiesAListOnRelease final : IUnknown {
  EmptiesAListOnRelease(Iqxsoapmsg2& handler, HRESULT (Iqxsoapmsg2::*clear)())
      : handler(handler), clear(clear) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (--references == 0) (handler.*clear)();
    return references;
  }
  Iqxsoapmsg2& handler;
  HRESULT (Iqxsoapmsg2::*clear)();
  ULONG references = 1;
};

// The variable a host reads a content into holds such an object, released
// as the content is written: a record chosen before is still handed out
// whole; a block taken is looked for after the release, in the list as the
// host left it.
TEST(Automation, AContentReadOverAValueWhoseReleaseEmptiesTheList) {
  static const qxcom::Bstr ns(SysAllocString(u"urn:h")), name(SysAllocString(u"p"));
  struct Row {
    const char* why;
    HRESULT (Iqxsoapmsg2::*clear)();
    // Reads into `content`; whether a record was handed out.
    bool (*read)(Iqxsoapmsg2& object, VARIANT* content);
    bool handedOut;
  } rows[] = {
      {"a parameter with its names", &Iqxsoapmsg2::ClearMethodParams,
       [](Iqxsoapmsg2& object, VARIANT* content) {
         BSTR readNs = nullptr, readName = nullptr;
         VARIANT_BOOL in = 0, out = 0, found = 0;
         LONG position = -1;
         EXPECT_EQ(object.GetFirstMethodParam(&readNs, &readName, content, &in, &out, &position,
                                              &found),
                   S_OK);
         EXPECT_EQ(Take(readNs) + Take(readName), u"urn:hp");
         return found == VARIANT_TRUE;
       },
       true},
      {"a header block taken", &Iqxsoapmsg2::ClearHeaderElems,
       [](Iqxsoapmsg2& object, VARIANT* content) {
         VARIANT_BOOL found = VARIANT_TRUE;
         EXPECT_EQ(object.GetHeaderElem(ns.get(), name.get(), content, &found), S_OK);
         return found == VARIANT_TRUE;
       },
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    auto object = NewHandlerObject();
    VARIANT_BOOL added = VARIANT_FALSE;
    object->AddMethodParam(ns.get(), name.get(), *test::BstrVariant(u"value").get(), VARIANT_TRUE,
                           VARIANT_FALSE, &added);
    object->AddHeaderElem(ns.get(), name.get(), *test::BstrVariant(u"value").get(), VARIANT_FALSE,
                          nullptr, &added);
    EmptiesAListOnRelease held(*object.get(), row.clear);
    qxcom::Variant content;
    V_VT(content.get()) = VT_UNKNOWN;
    V_UNKNOWN(content.get()) = &held;
    EXPECT_EQ(row.read(*object.get(), content.get()), row.handedOut);
    EXPECT_EQ(held.references, 0u);
    if (row.handedOut) {
      EXPECT_EQ(test::TextOf(*content.get()), u"value");
    } else {
      EXPECT_EQ(V_VT(content.get()), VT_EMPTY);
    }
  }
}

// AddMethodParam(ns, name, content, in, out) late-bound, as script hosts
// call it: the first three by position, `in` and `out` by name (in any
// letter case) and in the other order, each coerced to its parameter's type.
TEST(Automation, LateBoundArgumentsReachTheirParametersCoerced) {
  auto object = NewHandlerObject();
  std::u16string method = u"addmethodparam", in = u"BISINPARAM", out = u"bIsOutParam",
                 retval = u"pResult";
  LPOLESTR names[] = {method.data(), in.data(), out.data(), retval.data()};
  DISPID ids[4] = {};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 4, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 11);
  EXPECT_EQ(ids[3], DISPID_UNKNOWN) << "the retval is not an argument";
  const qxcom::Variant owned[] = {test::BstrVariant(u"true"), test::LongVariant(0),
                                  test::LongVariant(5), test::BstrVariant(u"p"),
                                  test::BstrVariant(u"urn:a")};
  VARIANTARG args[5];
  for (int i = 0; i < 5; ++i) args[i] = *owned[i].get();
  DISPPARAMS params{args, &ids[1], 5, 2};
  qxcom::Variant result;
  ASSERT_EQ(object->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr,
                           nullptr),
            S_OK);
  EXPECT_EQ(V_VT(result.get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);

  BSTR ns = nullptr, name = nullptr;
  qxcom::Variant content;
  VARIANT_BOOL isIn = 0, isOut = 0, found = 0;
  LONG position = -1;
  object->GetFirstMethodParam(&ns, &name, content.get(), &isIn, &isOut, &position, &found);
  EXPECT_EQ(Take(ns), u"urn:a");
  EXPECT_EQ(Take(name), u"p");
  EXPECT_EQ(V_VT(content.get()), VT_I4);
  EXPECT_EQ(V_I4(content.get()), 5);
  EXPECT_EQ(isIn, VARIANT_TRUE) << "\"true\" was coerced to VARIANT_TRUE";
  EXPECT_EQ(isOut, VARIANT_FALSE);

  ids[2] = ids[1];
  UINT argError = 99;
  EXPECT_EQ(object->Invoke(11, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, &argError),
            DISP_E_PARAMNOTFOUND)
      << "one parameter named twice";
  EXPECT_EQ(argError, 1u);
  LONG count = 0;
  object->GetNumMethodParams(&count);
  EXPECT_EQ(count, 1) << "a refused call does not run";
}

std::vector<BYTE> Buffer(Iqxsoapmsg2& object) {
  qxcom::Variant out;
  VARIANT_BOOL ok = VARIANT_FALSE;
  EXPECT_EQ(object.GetBuffer(out.get(), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(V_VT(out.get()), VT_ARRAY | VT_UI1);
  return test::BytesOf(V_ARRAY(out.get()));
}

TEST(AutomationBuffer, WhatIsNotAByteVectorLeavesTheMessage) {
  SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
  const std::pair<const char*, qxcom::Variant> rows[] = {
      {"a string", test::BstrVariant(u"<Envelope/>")},
      {"two dimensions", test::ArrayVariant(VT_UI1, SafeArrayCreate(VT_UI1, 2, square))},
  };
  auto object = NewHandlerObject();
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(object->SetBuffer(*test::ByteArrayVariant({'a', 'b'}).get(), &ok), S_OK);
  for (const auto& [why, value] : rows) {
    SCOPED_TRACE(why);
    ok = VARIANT_TRUE;
    EXPECT_EQ(object->SetBuffer(*value.get(), &ok), S_OK);
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
  struct Row {
    const char* why;
    qxcom::Variant value;
    std::vector<BYTE> bytes;
  } rows[] = {
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
    EXPECT_EQ(V_ARRAY(row.value.get())->cLocks, 0u) << "the array is unlocked again";
  }
}

}  // namespace
}  // namespace qxsoap
