// The type information handed out by IDispatch::GetTypeInfo.
#include <gtest/gtest.h>

#include "frame/automation_test_object.h"

namespace qxsoap {
namespace {

TEST(TypeInfo, DescribesTheDualInterfaceAndItsFunctions) {
  auto object = test::NewHandlerObject();
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

}  // namespace
}  // namespace qxsoap
