// The member list behind the module's struct objects: values handed over
// or copied, references stored as what they point at.
#include "model/struct_member_list.h"

#include <gtest/gtest.h>

namespace qxsoap {
namespace {

SharedMemberName Names(const char16_t* name, const char16_t* ns) {
  return std::make_shared<const MemberName>(MemberName{name, ns});
}

qxcom::Variant Text(const char16_t* text) {
  qxcom::Variant value;
  V_VT(value.get()) = VT_BSTR;
  V_BSTR(value.get()) = SysAllocString(text);
  return value;
}

TEST(StructMemberList, AdoptTakesTheValueOverAndAddCopiesIt) {
  StructMemberList list;
  qxcom::Variant adopted = Text(u"moved");
  const BSTR moved = V_BSTR(adopted.get());
  const SharedMemberName a = Names(u"a", u"urn:a");
  ASSERT_EQ(list.Adopt(a, adopted.get()), S_OK);
  EXPECT_EQ(V_VT(adopted.get()), VT_EMPTY) << "the caller's value is taken, not copied";

  qxcom::Variant copied = Text(u"copied");
  ASSERT_EQ(list.Add(u"b", u"", *copied.get()), S_OK);
  EXPECT_EQ(V_VT(copied.get()), VT_BSTR) << "the caller keeps its value";

  LONG number = 7;
  qxcom::Variant reference;
  V_VT(reference.get()) = VT_BYREF | VT_I4;
  V_I4REF(reference.get()) = &number;
  ASSERT_EQ(list.Adopt(Names(u"c", u""), reference.get()), S_OK);
  number = 8;

  const auto& members = list.Members();
  ASSERT_EQ(members.size(), 3u);
  EXPECT_EQ(members[0].names, a) << "an adopted member shares its names";
  EXPECT_EQ(members[0].Name(), u"a");
  EXPECT_EQ(members[0].NamespaceURI(), u"urn:a");
  EXPECT_EQ(members[1].Name(), u"b");
  EXPECT_EQ(members[2].Name(), u"c");
  EXPECT_EQ(V_BSTR(members[0].value.get()), moved);
  EXPECT_NE(V_BSTR(members[1].value.get()), V_BSTR(copied.get()));
  EXPECT_EQ(std::u16string_view(V_BSTR(members[1].value.get())), u"copied");
  ASSERT_EQ(V_VT(members[2].value.get()), VT_I4) << "a reference is stored as what it points at";
  EXPECT_EQ(V_I4(members[2].value.get()), 7);
}

TEST(StructMemberList, OnlyTheModulesOwnObjectsHaveOne) {
  EXPECT_EQ(StructMemberList::Of(nullptr), nullptr);
  // Any object that does not answer the module's interface, as a struct
  // object of another implementation would not.
  struct Plain : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
  } plain;
  EXPECT_EQ(StructMemberList::Of(&plain), nullptr);
}

}  // namespace
}  // namespace qxsoap
