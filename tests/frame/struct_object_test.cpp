// The struct component: members kept in order as copies, the member cursor,
// its identity and references, and its late-bound calls through IDispatch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/struct_object_component.h"
#include "support/struct_object_reader.h"
#include "platform/counting_unknown.h"
#include "support/com_objects.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using qxcom::ComPtr;
using qxcom::Variant;

ComPtr<StructObject> NewStruct() {
  ComPtr<StructObject> object;
  EXPECT_EQ(StructObjectComponent::CreateInstance(nullptr, IID_StructObject,
                                                  reinterpret_cast<void**>(object.put())),
            S_OK);
  return object;
}

// AddMember with BSTR copies of `name` and `ns` (null stays null).
VARIANT_BOOL Add(StructObject& object, const char16_t* name, const char16_t* ns, VARIANT value) {
  qxcom::Bstr nameArg(name ? SysAllocString(name) : nullptr);
  qxcom::Bstr nsArg(ns ? SysAllocString(ns) : nullptr);
  VARIANT_BOOL stored = 0x1234;
  EXPECT_EQ(object.AddMember(nameArg.get(), nsArg.get(), value, &stored), S_OK);
  return stored;
}

struct MemberRow {
  const char* why;
  std::vector<const char16_t*> names;  // each member: name, namespace (null: a null BSTR)
  std::u16string expected;
};

TEST(StructObject, MembersComeBackInInsertionOrder) {
  const MemberRow rows[] = {
      {"an empty struct hands out nothing and writes nothing", {}, u""},
      {"null strings are empty strings", {nullptr, nullptr}, u"=I4:0"},
      {"qualified and unqualified in order", {u"b", u"urn:n", u"a", u""},
       u"{urn:n}b=I4:0; a=I4:1"},
      {"the same name twice is kept twice, in order", {u"x", u"", u"y", u"", u"x", u""},
       u"x=I4:0; y=I4:1; x=I4:2"},
  };
  for (const MemberRow& row : rows) {
    SCOPED_TRACE(row.why);
    ComPtr<StructObject> object = NewStruct();
    for (size_t i = 0; i + 1 < row.names.size(); i += 2) {
      EXPECT_EQ(Add(*object.get(), row.names[i], row.names[i + 1], *test::LongVariant(LONG(i / 2)).get()),
                VARIANT_TRUE);
    }
    EXPECT_EQ(test::Members(*object.get()), row.expected);
    EXPECT_EQ(test::Members(*object.get()), row.expected) << "FirstMember starts over";
  }
}

// What the caller changes after AddMember must not reach the stored copies.
TEST(StructObject, ValuesAreDeepCopiesOfWhatWasAdded) {
  ComPtr<StructObject> object = NewStruct();
  Variant text = test::BstrVariant(u"abc"), strings = test::StringArrayVariant({u"a", u"b"});
  LONG number = 5;
  Variant referenced = test::BstrVariant(u"in"), numberRef, variantRef;
  V_VT(numberRef.get()) = VT_BYREF | VT_I4;
  V_I4REF(numberRef.get()) = &number;
  V_VT(variantRef.get()) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(variantRef.get()) = referenced.get();
  EXPECT_EQ(Add(*object.get(), u"s", nullptr, *text.get()), VARIANT_TRUE);
  EXPECT_EQ(Add(*object.get(), u"a", nullptr, *strings.get()), VARIANT_TRUE);
  EXPECT_EQ(Add(*object.get(), u"n", nullptr, *numberRef.get()), VARIANT_TRUE);
  EXPECT_EQ(Add(*object.get(), u"v", nullptr, *variantRef.get()), VARIANT_TRUE);
  V_BSTR(text.get())[0] = u'X';
  LONG first = 0;
  SafeArrayPutElement(V_ARRAY(strings.get()), &first, test::BstrVariant(u"z").get());
  number = 6;
  referenced = test::LongVariant(1);
  EXPECT_EQ(test::Members(*object.get()),
            u"s=BSTR:abc; a=ARRAY[BSTR:a,BSTR:b]; n=I4:5; v=BSTR:in")
      << "strings and arrays copied element by element; references stored as their values";
}

// Each step is 'a' (AddMember of the next number), 'f' (FirstMember) or
// 'n' (NextMember); each 'f' and 'n' records the position it handed out,
// or '-' when present was false.
struct CursorRow {
  const char* why;
  const char* steps;
  const char* handedOut;
};

TEST(StructObject, TheCursorFollowsTheLastMemberHandedOut) {
  const CursorRow rows[] = {
      {"first, then next to the end and past it", "aaafnnnn", "012--"},
      {"next before any first starts at the first member", "aann", "01"},
      {"first starts over after the end", "aafnnf", "01-0"},
      {"a member added after the end is handed out next", "afnan", "0-1"},
      {"first on an empty struct, then a member added", "fana", "-0"},
  };
  for (const CursorRow& row : rows) {
    SCOPED_TRACE(row.why);
    ComPtr<StructObject> object = NewStruct();
    std::string handedOut;
    LONG added = 0;
    for (const char* step = row.steps; *step; ++step) {
      if (*step == 'a') {
        Add(*object.get(), u"m", nullptr, *test::LongVariant(added++).get());
        continue;
      }
      BSTR name = nullptr, ns = nullptr;
      Variant value;
      LONG position = -1;
      VARIANT_BOOL present = 0x1234;
      auto call = *step == 'f' ? &StructObject::FirstMember : &StructObject::NextMember;
      ASSERT_EQ((object.get()->*call)(&name, &ns, value.get(), &position, &present), S_OK);
      qxcom::Bstr ownedName(name), ownedNs(ns);
      if (present == VARIANT_TRUE) {
        EXPECT_EQ(V_I4(value.get()), position) << "the member at that index";
        handedOut += char('0' + position);
      } else {
        EXPECT_EQ(present, VARIANT_FALSE);
        EXPECT_TRUE(!name && !ns && position == -1 && V_VT(value.get()) == VT_EMPTY)
            << "nothing written past the end";
        handedOut += '-';
      }
    }
    EXPECT_EQ(handedOut, row.handedOut);
  }
}

TEST(StructObject, ANestedStructIsHeldByReferenceUntilTheOuterGoes) {
  ComPtr<StructObject> outer = NewStruct();
  ComPtr<StructObject> inner = NewStruct();
  Add(*inner.get(), u"x", nullptr, *test::LongVariant(1).get());
  Variant nested;
  V_VT(nested.get()) = VT_DISPATCH;
  V_DISPATCH(nested.get()) = inner.get();
  inner->AddRef();
  ASSERT_EQ(Add(*outer.get(), u"point", u"urn:p", *nested.get()), VARIANT_TRUE);
  EXPECT_EQ(test::RefCountOf(inner.get()), 3u) << "ours, the VARIANT's and the member's";
  EXPECT_EQ(test::Members(*outer.get()), u"{urn:p}point=STRUCT{x=I4:1}");
  EXPECT_EQ(test::RefCountOf(inner.get()), 3u) << "a handed-out copy is released by its reader";
  outer = {};
  EXPECT_EQ(test::RefCountOf(inner.get()), 2u) << "the outer struct released its member";
}

TEST(StructObject, AnswersItsThreeInterfacesWithOneObject) {
  ComPtr<StructObject> object = NewStruct();
  const struct {
    const char* why;
    const IID& iid;
    HRESULT expected;
  } rows[] = {
      {"identity", IID_IUnknown, S_OK},
      {"late binding", IID_IDispatch, S_OK},
      {"its own interface", IID_StructObject, S_OK},
      {"not the handler", IID_Iqxsoapmsg2, E_NOINTERFACE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    void* answer = &answer;
    EXPECT_EQ(object->QueryInterface(row.iid, &answer), row.expected);
    EXPECT_EQ(answer, SUCCEEDED(row.expected) ? static_cast<void*>(object.get()) : nullptr);
    if (answer) object->Release();
  }
  EXPECT_EQ(test::RefCountOf(object.get()), 1u) << "every answer counted once, released once";
  EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST(StructObject, CreationRefusesAggregationAndUnknownInterfaces) {
  CountingUnknown outer;
  void* object = &object;
  EXPECT_EQ(StructObjectComponent::CreateInstance(&outer, IID_IUnknown, &object),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(StructObjectComponent::CreateInstance(nullptr, IID_IClassFactory, &object),
            E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(StructObjectComponent::CreateInstance(nullptr, IID_StructObject, nullptr), E_POINTER);
}

// Through IDispatch alone, as a script host drives it.
TEST(StructObject, LateBoundNamesMatchInAnyLetterCase) {
  ComPtr<StructObject> object = NewStruct();
  const struct {
    std::u16string name;
    DISPID id;
  } rows[] = {
      {u"addmember", 1}, {u"FIRSTMEMBER", 2}, {u"nextMember", 3},
      {u"Release", DISPID_UNKNOWN},  // IUnknown's slots are not late-bound methods
  };
  for (auto row : rows) {
    LPOLESTR names[] = {row.name.data()};
    DISPID id = 0;
    object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    EXPECT_EQ(id, row.id) << std::string(row.name.begin(), row.name.end());
  }
  UINT count = 9;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u) << "no type information is offered";
}

TEST(StructObject, LateBoundCallsAddAndReadMembersWithByReferenceOuts) {
  ComPtr<StructObject> object = NewStruct();
  // AddMember("x", "urn:p", a reference to 42): arguments last first.
  LONG number = 42;
  Variant name = test::BstrVariant(u"x"), ns = test::BstrVariant(u"urn:p");
  VARIANTARG addArgs[3] = {};
  V_VT(&addArgs[0]) = VT_BYREF | VT_I4;
  V_I4REF(&addArgs[0]) = &number;
  addArgs[1] = *ns.get();
  addArgs[2] = *name.get();
  DISPPARAMS add{addArgs, nullptr, 3, 0};
  Variant stored;
  ASSERT_EQ(object->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &add, stored.get(), nullptr, nullptr),
            S_OK);
  EXPECT_EQ(test::Describe(*stored.get()), u"BOOL:-1");
  number = 43;

  // FirstMember, then NextMember past the end, into the same variables: the
  // name into a BSTR of the caller's own, the others through VARIANTs.
  BSTR ownName = reinterpret_cast<BSTR>(&number);  // garbage that must not be read or freed
  Variant nsOut = test::BstrVariant(u"kept"), valueOut = test::BstrVariant(u"kept");
  LONG position = -1;
  VARIANTARG outArgs[4] = {};
  V_VT(&outArgs[0]) = VT_BYREF | VT_I4;
  V_I4REF(&outArgs[0]) = &position;
  V_VT(&outArgs[1]) = V_VT(&outArgs[2]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&outArgs[1]) = valueOut.get();
  V_VARIANTREF(&outArgs[2]) = nsOut.get();
  V_VT(&outArgs[3]) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&outArgs[3]) = &ownName;
  DISPPARAMS outs{outArgs, nullptr, 4, 0};
  Variant present;
  for (DISPID member : {2, 3}) {
    SCOPED_TRACE(member == 2 ? "FirstMember" : "NextMember past the end");
    ownName = reinterpret_cast<BSTR>(&number);
    position = -1;
    ASSERT_EQ(object->Invoke(member, IID_NULL, 0, DISPATCH_METHOD, &outs, present.get(), nullptr,
                             nullptr),
              S_OK);
    EXPECT_EQ(test::Describe(*nsOut.get()), u"BSTR:urn:p");
    EXPECT_EQ(test::Describe(*valueOut.get()), u"I4:42") << "the reference was read when added";
    if (member == 3) break;
    qxcom::Bstr handedName(ownName);
    EXPECT_EQ(test::Describe(*present.get()), u"BOOL:-1");
    EXPECT_EQ(std::u16string(ownName), u"x");
    EXPECT_EQ(position, 0);
  }
  EXPECT_EQ(test::Describe(*present.get()), u"BOOL:0");
  EXPECT_EQ(ownName, reinterpret_cast<BSTR>(&number)) << "nothing written past the end";
  EXPECT_EQ(position, -1);
}

}  // namespace
}  // namespace qxsoap
