// The struct component: members kept in order as copies, the member cursor,
// its identity and references, and its late-bound calls.
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
      {"one unqualified member", {u"x", u""}, u"x=I4:0"},
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

// What the original's owner may do to it after AddMember.
struct Original {
  Variant value;
  LONG number = 5;
  Variant referenced;
};

struct ValueRow {
  const char* why;
  void (*build)(Original&);
  void (*mutate)(Original&);  // after AddMember; must not reach the stored copy
  std::u16string expected;
};

TEST(StructObject, ValuesAreDeepCopiesOfWhatWasAdded) {
  const ValueRow rows[] = {
      {"a number", [](Original& o) { o.value = test::LongVariant(7); },
       [](Original& o) { V_I4(o.value.get()) = 8; }, u"I4:7"},
      {"empty", [](Original&) {}, [](Original&) {}, u"EMPTY"},
      {"a string is copied, not shared", [](Original& o) { o.value = test::BstrVariant(u"abc"); },
       [](Original& o) { V_BSTR(o.value.get())[0] = u'X'; }, u"BSTR:abc"},
      {"an array of strings, element by element",
       [](Original& o) { o.value = test::StringArrayVariant({u"a", u"b"}); },
       [](Original& o) {
         LONG first = 0;
         SafeArrayPutElement(V_ARRAY(o.value.get()), &first, test::BstrVariant(u"z").get());
       },
       u"ARRAY[BSTR:a,BSTR:b]"},
      {"a byte array", [](Original& o) { o.value = test::ByteArrayVariant({1, 2}); },
       [](Original& o) {
         LONG first = 0;
         BYTE nine = 9;
         SafeArrayPutElement(V_ARRAY(o.value.get()), &first, &nine);
       },
       u"ARRAY[UI1:1,UI1:2]"},
      {"a reference to a number is stored as the number",
       [](Original& o) {
         V_VT(o.value.get()) = VT_BYREF | VT_I4;
         V_I4REF(o.value.get()) = &o.number;
       },
       [](Original& o) { o.number = 6; }, u"I4:5"},
      {"a reference to a VARIANT is stored as its value",
       [](Original& o) {
         o.referenced = test::BstrVariant(u"in");
         V_VT(o.value.get()) = VT_BYREF | VT_VARIANT;
         V_VARIANTREF(o.value.get()) = o.referenced.get();
       },
       [](Original& o) { o.referenced = test::LongVariant(1); }, u"BSTR:in"},
  };
  for (const ValueRow& row : rows) {
    SCOPED_TRACE(row.why);
    ComPtr<StructObject> object = NewStruct();
    Original original;
    row.build(original);
    ASSERT_EQ(Add(*object.get(), u"m", nullptr, *original.value.get()), VARIANT_TRUE);
    row.mutate(original);
    EXPECT_EQ(test::Members(*object.get()), u"m=" + row.expected);
  }
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

TEST(StructObject, AHundredThousandMembersKeepTheirOrder) {
  constexpr LONG kCount = 100'000;
  ComPtr<StructObject> object = NewStruct();
  for (LONG i = 0; i < kCount; ++i) Add(*object.get(), u"item", nullptr, *test::LongVariant(i).get());
  BSTR name = nullptr, ns = nullptr;
  Variant value;
  LONG position = -1, seen = 0;
  VARIANT_BOOL present = VARIANT_FALSE;
  for (HRESULT hr = object->FirstMember(&name, &ns, value.get(), &position, &present);
       SUCCEEDED(hr) && present == VARIANT_TRUE;
       hr = object->NextMember(&name, &ns, value.get(), &position, &present)) {
    SysFreeString(name);
    SysFreeString(ns);
    if (position != seen || V_I4(value.get()) != seen) break;
    ++seen;
  }
  EXPECT_EQ(seen, kCount);
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

}  // namespace
}  // namespace qxsoap
