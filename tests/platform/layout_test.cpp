// The platform types must line up with Windows x64 so that host structs,
// arrays of VARIANT and vtables mean the same thing on both.
#include <gtest/gtest.h>

#include <cstddef>

#include "qxcom.h"

TEST(Layout, SizesAndOffsetsMatchWindowsX64) {
  EXPECT_EQ(sizeof(LONG), 4u);
  EXPECT_EQ(sizeof(OLECHAR), 2u);
  EXPECT_EQ(offsetof(SAFEARRAY, pvData), 16u);
  EXPECT_EQ(offsetof(SAFEARRAY, rgsabound), 24u);
  EXPECT_EQ(offsetof(VARIANT, decVal), 0u) << "a DECIMAL overlays the VARIANT head";
  EXPECT_EQ(offsetof(VARIANT, lVal), 8u);
}
