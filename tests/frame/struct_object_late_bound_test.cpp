// The struct component through IDispatch alone, as a script host drives it:
// names to DISPIDs, and Invoke with by-reference outs.
#include <gtest/gtest.h>

#include <string>

#include "frame/struct_object_component.h"
#include "support/struct_object_reader.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using qxcom::Variant;

IDispatch* NewStructDispatch() {
  void* object = nullptr;
  EXPECT_EQ(StructObjectComponent::CreateInstance(nullptr, IID_IDispatch, &object), S_OK);
  return static_cast<IDispatch*>(object);
}

DISPID IdOf(IDispatch& object, const char16_t* name) {
  std::u16string text(name);
  LPOLESTR names[] = {text.data()};
  DISPID id = 0;
  return SUCCEEDED(object.GetIDsOfNames(IID_NULL, names, 1, 0, &id)) ? id : DISPID_UNKNOWN;
}

TEST(StructObjectLateBound, NamesMatchInAnyLetterCase) {
  qxcom::ComPtr<IDispatch> object = qxcom::ComPtr<IDispatch>::Adopt(NewStructDispatch());
  const struct {
    const char16_t* name;
    DISPID id;
  } rows[] = {
      {u"addmember", 1}, {u"FIRSTMEMBER", 2}, {u"nextMember", 3},
      {u"Release", DISPID_UNKNOWN},  // IUnknown's slots are not late-bound methods
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IdOf(*object.get(), row.name), row.id)
        << std::string(row.name, row.name + std::char_traits<char16_t>::length(row.name));
  }
  UINT count = 9;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u) << "no type information is offered";
}

TEST(StructObjectLateBound, AddsAndReadsMembersWithByReferenceOuts) {
  qxcom::ComPtr<IDispatch> object = qxcom::ComPtr<IDispatch>::Adopt(NewStructDispatch());

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
  ASSERT_EQ(object->Invoke(IdOf(*object.get(), u"addmember"), IID_NULL, 0, DISPATCH_METHOD, &add,
                           stored.get(), nullptr, nullptr),
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
  V_VT(&outArgs[1]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&outArgs[1]) = valueOut.get();
  V_VT(&outArgs[2]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&outArgs[2]) = nsOut.get();
  V_VT(&outArgs[3]) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&outArgs[3]) = &ownName;
  DISPPARAMS outs{outArgs, nullptr, 4, 0};

  Variant present;
  ASSERT_EQ(object->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &outs, present.get(), nullptr, nullptr),
            S_OK);
  qxcom::Bstr handedName(ownName);
  EXPECT_EQ(test::Describe(*present.get()), u"BOOL:-1");
  EXPECT_EQ(std::u16string(ownName), u"x");
  EXPECT_EQ(test::Describe(*nsOut.get()), u"BSTR:urn:p");
  EXPECT_EQ(test::Describe(*valueOut.get()), u"I4:42") << "the reference was read when added";
  EXPECT_EQ(position, 0);

  ownName = reinterpret_cast<BSTR>(&number);
  position = -1;
  ASSERT_EQ(object->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &outs, present.get(), nullptr, nullptr),
            S_OK);
  EXPECT_EQ(test::Describe(*present.get()), u"BOOL:0");
  EXPECT_EQ(ownName, reinterpret_cast<BSTR>(&number)) << "nothing written past the end";
  EXPECT_EQ(test::Describe(*nsOut.get()), u"BSTR:urn:p");
  EXPECT_EQ(test::Describe(*valueOut.get()), u"I4:42");
  EXPECT_EQ(position, -1);
}

}  // namespace
}  // namespace qxsoap
