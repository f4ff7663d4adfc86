// The type information handed out by IDispatch::GetTypeInfo.
#include <gtest/gtest.h>

#include "frame/automation_test_object.h"

namespace qxsoap {
namespace {

qxcom::ComPtr<ITypeInfo> TypeInfoOf(Iqxsoapmsg2& object) {
  UINT count = 0;
  EXPECT_EQ(object.GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* info = nullptr;
  EXPECT_EQ(object.GetTypeInfo(0, 0, &info), S_OK);
  return qxcom::ComPtr<ITypeInfo>::Adopt(info);
}

TEST(TypeInfo, DescribesTheDualInterface) {
  auto object = test::NewHandlerObject();
  ITypeInfo* none = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(object->GetTypeInfo(1, 0, &none), DISP_E_BADINDEX);
  EXPECT_EQ(none, nullptr);
  auto info = TypeInfoOf(*object.get());
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(attributes->guid == IID_Iqxsoapmsg2);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->cFuncs, 101);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attributes);
}

TEST(TypeInfo, FunctionsCarryTypesAndDirections) {
  auto info = TypeInfoOf(*test::NewHandlerObject().get());
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

  FUNCDESC* past = nullptr;
  EXPECT_EQ(info->GetFuncDesc(101, &past), TYPE_E_ELEMENTNOTFOUND);
}

}  // namespace
}  // namespace qxsoap
