// The struct component: members kept in order as deep copies, the member
// cursor, its identity and references, and its late-bound methods.
#include <gtest/gtest.h>

#include <string>

#include "frame/late_bound_arguments.h"
#include "frame/struct_object_component.h"
#include "model/struct_member_list.h"
#include "support/com_objects.h"
#include "support/struct_object_reader.h"
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
VARIANT_BOOL Add(StructObject& object, const char16_t* name, const char16_t* ns, const VARIANT& value) {
  qxcom::Bstr nameArg(name ? SysAllocString(name) : nullptr);
  qxcom::Bstr nsArg(ns ? SysAllocString(ns) : nullptr);
  VARIANT_BOOL stored = 0x1234;
  EXPECT_EQ(object.AddMember(nameArg.get(), nsArg.get(), value, &stored), S_OK);
  return stored;
}

// Null strings are empty ones; a namespace belongs to its member alone; the
// same name twice is kept twice.
TEST(StructObject, MembersComeBackInInsertionOrder) {
  ComPtr<StructObject> object = NewStruct();
  const char16_t* names[][2] = {{nullptr, nullptr}, {u"b", u"urn:n"}, {u"x", u""}, {u"x", u""}};
  LONG number = 0;
  for (const auto& [name, ns] : names) {
    EXPECT_EQ(Add(*object.get(), name, ns, *test::LongVariant(number++).get()), VARIANT_TRUE);
  }
  EXPECT_EQ(test::Members(*object.get()), u"=I4:0; {urn:n}b=I4:1; x=I4:2; x=I4:3");
}

// What the caller changes after adding must not reach the stored values.
TEST(StructObject, ValuesAreDeepCopiesOfWhatWasAdded) {
  ComPtr<StructObject> object = NewStruct();
  Variant text = test::BstrVariant(u"abc"), strings = test::StringArrayVariant({u"a", u"b"});
  LONG number = 5, adopted = 7;
  Variant referenced = test::BstrVariant(u"in"), numberRef, variantRef, adoptedRef;
  V_VT(numberRef.get()) = V_VT(adoptedRef.get()) = VT_BYREF | VT_I4;
  V_I4REF(numberRef.get()) = &number;
  V_I4REF(adoptedRef.get()) = &adopted;
  V_VT(variantRef.get()) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(variantRef.get()) = referenced.get();
  EXPECT_EQ(Add(*object.get(), u"s", nullptr, *text.get()), VARIANT_TRUE);
  EXPECT_EQ(Add(*object.get(), u"a", nullptr, *strings.get()), VARIANT_TRUE);
  EXPECT_EQ(Add(*object.get(), u"n", nullptr, *numberRef.get()), VARIANT_TRUE);
  EXPECT_EQ(Add(*object.get(), u"v", nullptr, *variantRef.get()), VARIANT_TRUE);
  // The decoder hands its values over instead; a reference is still copied.
  ASSERT_EQ(StructMemberList::Of(object.get())
                ->Adopt(std::make_shared<const MemberName>(MemberName{u"r", u""}), adoptedRef.get()),
            S_OK);
  V_BSTR(text.get())[0] = u'X';
  LONG first = 0;
  SafeArrayPutElement(V_ARRAY(strings.get()), &first, test::BstrVariant(u"z").get());
  number = 6;
  adopted = 8;
  referenced = test::LongVariant(1);
  EXPECT_EQ(test::Members(*object.get()),
            u"s=BSTR:abc; a=ARRAY[BSTR:a,BSTR:b]; n=I4:5; v=BSTR:in; r=I4:7")
      << "strings and arrays copied element by element; references stored as their values";
}

// Steps: 'a' adds the next number, 'f' is FirstMember and 'n' NextMember,
// which record the position handed out, or '-' for none. NextMember before
// any FirstMember starts at the first member; past the end, the cursor
// waits for the next member added.
TEST(StructObject, TheCursorFollowsTheLastMemberHandedOut) {
  ComPtr<StructObject> object = NewStruct();
  std::string handedOut;
  LONG added = 0;
  for (const char step : std::string("aanfnnan")) {
    if (step == 'a') {
      Add(*object.get(), u"m", nullptr, *test::LongVariant(added++).get());
      continue;
    }
    BSTR name = nullptr, ns = nullptr;
    Variant value;
    LONG position = -1;
    VARIANT_BOOL present = 0x1234;
    auto call = step == 'f' ? &StructObject::FirstMember : &StructObject::NextMember;
    ASSERT_EQ((object.get()->*call)(&name, &ns, value.get(), &position, &present), S_OK);
    qxcom::Bstr ownedName(name), ownedNs(ns);
    EXPECT_TRUE(present == VARIANT_FALSE || V_I4(value.get()) == position) << "the member at that index";
    handedOut += present == VARIANT_TRUE ? char('0' + position) : '-';
  }
  EXPECT_EQ(handedOut, "001-2");
}

// The decoder and the writers use its three interfaces; nothing else is
// answered, and it cannot be aggregated.
TEST(StructObject, RefusesOtherInterfacesAndAggregation) {
  ComPtr<StructObject> object = NewStruct();
  void* other = &other;
  EXPECT_EQ(object->QueryInterface(IID_Iqxsoapmsg2, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  other = &other;
  EXPECT_EQ(StructObjectComponent::CreateInstance(object.get(), IID_IUnknown, &other),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(other, nullptr);
}

// Through IDispatch alone, as a script host drives it: AddMember("text",
// "text", an empty value), then FirstMember and NextMember past the end
// into VARIANT references.
TEST(StructObject, LateBoundCallsReachTheThreeMethodsByName) {
  ComPtr<StructObject> object = NewStruct();
  for (const MethodInfo& method : StructObjectInterface().methods) {
    std::u16string name = method.name;
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    ASSERT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    SCOPED_TRACE(id);
    test::LateBoundArguments args(method);
    Variant result;
    ASSERT_EQ(object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, args.get(), result.get(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(test::Describe(*result.get()), id == 3 ? u"BOOL:0" : u"BOOL:-1");
    if (id == 1) continue;
    for (size_t out = 0; out < 4; ++out) EXPECT_EQ(args.Written(out), id == 2) << out;
    if (id == 2) {
      EXPECT_EQ(test::Describe(args.Value(0)), u"BSTR:text");
      EXPECT_EQ(test::Describe(args.Value(1)), u"BSTR:text");
      EXPECT_EQ(test::Describe(args.Value(3)), u"I4:0");
    }
  }
}

}  // namespace
}  // namespace qxsoap
