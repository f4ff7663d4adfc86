// SAFEARRAY shape and indexing (reversed bounds, column-major data, negative
// lower bounds), locking, element copy rules and size guards.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>

#include "platform/counting_unknown.h"
#include "platform/values.h"

namespace {

using platform_test::Chars;

// Dimension 1: 3 elements from -1; dimension 2: 2 elements from 5.
qxcom::SafeArrayPtr MakeThreeByTwo() {
  SAFEARRAYBOUND bounds[] = {{3, -1}, {2, 5}};
  return qxcom::SafeArrayPtr(SafeArrayCreate(VT_I4, 2, bounds));
}

// The bounds of dimension `dim` as "lower..upper", or "bad index".
std::string Bounds(SAFEARRAY* array, UINT dim) {
  LONG lower = 0, upper = 0;
  if (SafeArrayGetLBound(array, dim, &lower) != S_OK) return "bad index";
  EXPECT_EQ(SafeArrayGetUBound(array, dim, &upper), S_OK);
  return std::to_string(lower) + ".." + std::to_string(upper);
}

TEST(SafeArrayShape, BoundsAreStoredReversedAndDataIsColumnMajor) {
  qxcom::SafeArrayPtr array = MakeThreeByTwo();
  ASSERT_NE(array.get(), nullptr);
  EXPECT_EQ(SafeArrayGetDim(array.get()), 2u);
  EXPECT_EQ(array.get()->rgsabound[1].cElements, 3u) << "dimension 1 is stored last";
  EXPECT_EQ(Bounds(array.get(), 1), "-1..1");
  EXPECT_EQ(Bounds(array.get(), 2), "5..6");
  EXPECT_EQ(Bounds(array.get(), 3), "bad index");

  for (LONG second = 5; second <= 6; ++second) {
    for (LONG first = -1; first <= 1; ++first) {
      LONG indices[] = {first, second};
      LONG value = first * 10 + second;
      ASSERT_EQ(SafeArrayPutElement(array.get(), indices, &value), S_OK);
    }
  }
  LONG* data;
  ASSERT_EQ(SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&data)), S_OK);
  const LONG kExpected[] = {-10 + 5, 0 + 5, 10 + 5, -10 + 6, 0 + 6, 10 + 6};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(data[i], kExpected[i]) << "dimension 1 runs fastest";
  ASSERT_EQ(SafeArrayUnaccessData(array.get()), S_OK);
  LONG indices[] = {0, 6};
  LONG* slot;
  ASSERT_EQ(SafeArrayPtrOfIndex(array.get(), indices, reinterpret_cast<void**>(&slot)), S_OK);
  EXPECT_EQ(slot, data + 4);
}

TEST(SafeArrayShape, IndicesOutsideTheirBoundsAreRefused) {
  qxcom::SafeArrayPtr array = MakeThreeByTwo();
  struct Row { const char* why; LONG first, second; };
  const Row kRows[] = {
      {"below a negative lower bound", -2, 5},
      {"past the upper bound of dimension 2", 0, 7},
      {"index that a wrapped subtraction would bring into range", LONG(0x80000000), 5},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    LONG indices[] = {row.first, row.second};
    LONG value = 0;
    void* slot;
    EXPECT_EQ(SafeArrayGetElement(array.get(), indices, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayPutElement(array.get(), indices, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayPtrOfIndex(array.get(), indices, &slot), DISP_E_BADINDEX);
  }
  EXPECT_EQ(array.get()->cLocks, 0u) << "failed accesses leave no lock behind";
}

TEST(SafeArrayCreate, RefusesBadTypesShapesAndSizesThatOverflow) {
  SAFEARRAYBOUND one = {1, 0};
  SAFEARRAYBOUND wide[] = {{0x10000, 0}, {0x10000, 0}};
  SAFEARRAYBOUND huge[] = {{0xFFFFFFFF, 0}, {0xFFFFFFFF, 0}, {0xFFFFFFFF, 0}};
  SAFEARRAYBOUND pastLong = {2, 0x7FFFFFFF};
  struct Row { const char* why; VARTYPE vt; UINT dims; SAFEARRAYBOUND* bounds; };
  const Row kRows[] = {
      {"records are not supported", VT_RECORD, 1, &one},
      {"no dimensions", VT_I4, 0, &one},
      {"4 GiB of I4: the byte size passes 32 bits", VT_I4, 2, wide},
      {"the element count passes 64 bits", VT_VARIANT, 3, huge},
      {"the upper bound would pass LONG", VT_UI1, 1, &pastLong},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(SafeArrayCreate(row.vt, row.dims, row.bounds), nullptr);
  }
}

TEST(SafeArrayLock, LockedArrayIsNotDestroyed) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 1);
  LONG index = 0;
  qxcom::Bstr text(SysAllocString(u"survives"));
  ASSERT_EQ(SafeArrayPutElement(array, &index, text.get()), S_OK);
  void* data;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  ASSERT_EQ(SafeArrayLock(array), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  ASSERT_EQ(SafeArrayUnlock(array), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED) << "one lock is still held";
  EXPECT_EQ(Chars(static_cast<BSTR*>(data)[0]), u"survives") << "nothing was freed";
  ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(SafeArrayUnlock(array), E_UNEXPECTED) << "more unlocks than locks";
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArrayElement, BstrsAndVariantsAreCopiedInBothDirections) {
  qxcom::SafeArrayPtr array(SafeArrayCreateVector(VT_BSTR, 0, 1));
  LONG index = 0;
  qxcom::Bstr first(SysAllocString(u"first"));
  ASSERT_EQ(SafeArrayPutElement(array.get(), &index, first.get()), S_OK);
  BSTR* slot;
  ASSERT_EQ(SafeArrayPtrOfIndex(array.get(), &index, reinterpret_cast<void**>(&slot)), S_OK);
  EXPECT_NE(*slot, first.get());
  BSTR out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(array.get(), &index, &out), S_OK);
  qxcom::Bstr outOwner(out);
  EXPECT_NE(out, *slot);
  EXPECT_EQ(Chars(out), u"first");
  ASSERT_EQ(SafeArrayPutElement(array.get(), &index, *slot), S_OK) << "an element over itself";
  EXPECT_EQ(Chars(*slot), u"first");
  ASSERT_EQ(SafeArrayPutElement(array.get(), &index, nullptr), S_OK) << "a null BSTR is a value";
  EXPECT_EQ(*slot, nullptr);

  qxcom::SafeArrayPtr variants(SafeArrayCreateVector(VT_VARIANT, 1, 1));
  EXPECT_EQ(variants.get()->fFeatures, FADF_HAVEVARTYPE | FADF_VARIANT) << "cleared on destroy";
  index = 1;
  qxcom::Variant in = platform_test::Text(u"inside");
  ASSERT_EQ(SafeArrayPutElement(variants.get(), &index, in.get()), S_OK);
  qxcom::Variant copy;
  copy->vt = 0x7777;  // an out-parameter: its old contents are not read
  ASSERT_EQ(SafeArrayGetElement(variants.get(), &index, copy.get()), S_OK);
  ASSERT_EQ(copy->vt, VT_BSTR);
  EXPECT_NE(copy->bstrVal, in->bstrVal);
  EXPECT_EQ(Chars(copy->bstrVal), u"inside");
}

TEST(SafeArrayElement, InterfacesAreAddRefdAndReplacedOnesReleased) {
  CountingUnknown first, second;
  {
    qxcom::SafeArrayPtr array(SafeArrayCreateVector(VT_UNKNOWN, 0, 1));
    LONG index = 0;
    ASSERT_EQ(SafeArrayPutElement(array.get(), &index, static_cast<IUnknown*>(&first)), S_OK);
    EXPECT_EQ(first.references(), 2u);
    ASSERT_EQ(SafeArrayPutElement(array.get(), &index, static_cast<IUnknown*>(&second)), S_OK);
    EXPECT_EQ(first.references(), 1u);
    EXPECT_EQ(second.references(), 2u);
    IUnknown* out = nullptr;
    ASSERT_EQ(SafeArrayGetElement(array.get(), &index, &out), S_OK);
    EXPECT_EQ(second.references(), 3u) << "a read element is AddRef'd";
    out->Release();
  }
  EXPECT_EQ(second.references(), 1u) << "destroy released the element";
}

TEST(SafeArrayCopy, KeepsShapeTypeAndBoundsAndCopiesLockedSources) {
  qxcom::SafeArrayPtr source = MakeThreeByTwo();
  LONG indices[] = {1, 6};
  LONG value = 99;
  ASSERT_EQ(SafeArrayPutElement(source.get(), indices, &value), S_OK);
  ASSERT_EQ(SafeArrayLock(source.get()), S_OK);
  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(source.get(), &copy), S_OK);
  qxcom::SafeArrayPtr copyOwner(copy);
  ASSERT_EQ(SafeArrayUnlock(source.get()), S_OK);
  EXPECT_EQ(copy->cLocks, 0u) << "a copy starts unlocked";
  EXPECT_EQ(copy->fFeatures, source.get()->fFeatures);
  EXPECT_EQ(Bounds(copy, 1), "-1..1");
  LONG read = 0;
  ASSERT_EQ(SafeArrayGetElement(copy, indices, &read), S_OK);
  EXPECT_EQ(read, 99);
  SAFEARRAY* none = reinterpret_cast<SAFEARRAY*>(1);
  EXPECT_EQ(SafeArrayCopy(nullptr, &none), S_OK);
  EXPECT_EQ(none, nullptr);
}

// Byte vectors made for copying into: shaped and typed as
// SafeArrayCreateVector(VT_UI1, 0, n) would make them, the bytes as given.
TEST(ByteVector, CopiesAreVectorsOfBytesFromZero) {
  const BYTE bytes[] = {0x00, 0xFF, 0x7F};
  for (const std::span<const BYTE> given : {std::span<const BYTE>(bytes), std::span<const BYTE>()}) {
    SCOPED_TRACE(given.size());
    qxcom::SafeArrayPtr copy = qxcom::CopyToByteVector(given);
    ASSERT_NE(copy.get(), nullptr);
    EXPECT_EQ(SafeArrayGetDim(copy.get()), 1u);
    EXPECT_EQ(SafeArrayGetElemsize(copy.get()), 1u);
    VARTYPE vt = VT_EMPTY;
    ASSERT_EQ(SafeArrayGetVartype(copy.get(), &vt), S_OK);
    EXPECT_EQ(vt, VT_UI1);
    EXPECT_EQ(Bounds(copy.get(), 1), "0.." + std::to_string(LONG(given.size()) - 1));
    const auto* data = static_cast<const BYTE*>(copy.get()->pvData);
    ASSERT_NE(data, nullptr) << "an empty vector still has data";
    EXPECT_TRUE(std::equal(given.begin(), given.end(), data));
  }
}

}  // namespace
