// The platform types must line up with Windows x64 so that host structs,
// arrays of VARIANT and vtables mean the same thing on both.
#include <gtest/gtest.h>

#include <cstddef>

#include "qxcom.h"

TEST(Layout, SizesMatchWindowsX64) {
  EXPECT_EQ(sizeof(VARIANT), 24u);
  EXPECT_EQ(sizeof(DECIMAL), 16u);
  EXPECT_EQ(sizeof(CY), 8u);
  EXPECT_EQ(sizeof(GUID), 16u);
  EXPECT_EQ(sizeof(LONG), 4u);
  EXPECT_EQ(sizeof(VARIANT_BOOL), 2u);
  EXPECT_EQ(sizeof(OLECHAR), 2u);
  EXPECT_EQ(offsetof(SAFEARRAY, pvData), 16u);
  EXPECT_EQ(offsetof(SAFEARRAY, rgsabound), 24u);
}

TEST(Layout, DecimalOverlaysTheVariantHead) {
  VARIANT value;
  value.decVal.Lo64 = 5;
  value.decVal.scale = 1;
  value.vt = VT_DECIMAL;
  EXPECT_EQ(value.decVal.wReserved, VT_DECIMAL);
  EXPECT_EQ(value.decVal.Lo64, 5u);
  EXPECT_EQ(value.decVal.scale, 1);
}

TEST(Layout, StandardInterfaceIdsAreDistinct) {
  EXPECT_TRUE(IsEqualGUID(IID_IUnknown, IID_IUnknown));
  EXPECT_FALSE(IsEqualGUID(IID_IUnknown, IID_IDispatch));
  EXPECT_NE(IID_IClassFactory, IID_IStorage);
}
