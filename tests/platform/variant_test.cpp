// VARIANT clear and copy: deep copies of nested arrays, reference counts of
// interfaces, type tag validation and the dereferencing of VariantCopyInd.
#include <gtest/gtest.h>

#include <string>

#include "platform/counting_unknown.h"
#include "platform/values.h"

namespace {

using namespace platform_test;

// A one-dimensional array of three VARIANTs: a BSTR, the interface, and a
// nested VT_ARRAY|VT_BSTR holding one string.
SAFEARRAY* MakeMixedArray(IUnknown* object) {
  SAFEARRAY* outer = SafeArrayCreateVector(VT_VARIANT, 0, 3);
  VARIANT* items;
  EXPECT_EQ(SafeArrayAccessData(outer, reinterpret_cast<void**>(&items)), S_OK);
  items[0].vt = VT_BSTR;
  items[0].bstrVal = SysAllocString(u"first");
  items[1].vt = VT_UNKNOWN;
  items[1].punkVal = object;
  object->AddRef();
  SAFEARRAY* inner = SafeArrayCreateVector(VT_BSTR, 1, 1);
  LONG index = 1;
  qxcom::Bstr nested(SysAllocString(u"nested"));
  EXPECT_EQ(SafeArrayPutElement(inner, &index, nested.get()), S_OK);
  items[2].vt = VT_ARRAY | VT_BSTR;
  items[2].parray = inner;
  SafeArrayUnaccessData(outer);
  return outer;
}

TEST(VariantCopy, DeepCopiesNestedArraysAndCountsInterfaceReferences) {
  CountingUnknown object;
  {
    qxcom::Variant source = Of(VT_ARRAY | VT_VARIANT);
    source->parray = MakeMixedArray(&object);
    qxcom::Variant copy;
    ASSERT_EQ(VariantCopy(copy.get(), source.get()), S_OK);
    ASSERT_EQ(copy->vt, VT_ARRAY | VT_VARIANT);
    ASSERT_NE(copy->parray, source->parray);
    EXPECT_EQ(object.references(), 3u) << "the copied interface element is AddRef'd";

    VARIANT* original;
    VARIANT* copied;
    ASSERT_EQ(SafeArrayAccessData(source->parray, reinterpret_cast<void**>(&original)), S_OK);
    ASSERT_EQ(SafeArrayAccessData(copy->parray, reinterpret_cast<void**>(&copied)), S_OK);
    EXPECT_NE(copied[0].bstrVal, original[0].bstrVal) << "BSTRs are duplicated";
    EXPECT_EQ(Chars(copied[0].bstrVal), u"first");
    EXPECT_EQ(copied[1].punkVal, &object);
    ASSERT_NE(copied[2].parray, original[2].parray) << "nested arrays are copied too";
    LONG index = 1;
    BSTR nested = nullptr;
    ASSERT_EQ(SafeArrayGetElement(copied[2].parray, &index, &nested), S_OK);
    qxcom::Bstr owner(nested);
    EXPECT_EQ(Chars(nested), u"nested");
    SafeArrayUnaccessData(source->parray);
    SafeArrayUnaccessData(copy->parray);
  }
  EXPECT_EQ(object.references(), 1u) << "clearing both arrays released both references";
}

TEST(VariantCopy, ReplacesTheDestinationOnlyAfterReadingTheSource) {
  CountingUnknown object;
  LONG referenced = 7;
  {
    qxcom::Variant source = Of(VT_DISPATCH);
    source->pdispVal = &object;
    object.AddRef();
    qxcom::Variant copy;
    ASSERT_EQ(VariantCopy(copy.get(), source.get()), S_OK);
    EXPECT_EQ(object.references(), 3u);
    qxcom::Variant reference = Of(VT_BYREF | VT_I4);
    reference->plVal = &referenced;
    ASSERT_EQ(VariantCopy(copy.get(), reference.get()), S_OK);
    EXPECT_EQ(object.references(), 2u) << "the copy's old interface was released";
    EXPECT_EQ(copy->plVal, &referenced) << "a reference is copied as the pointer";
    EXPECT_EQ(VariantCopy(source.get(), source.get()), S_OK);
    EXPECT_EQ(source->pdispVal, &object) << "copying onto itself is a no-op";
    EXPECT_EQ(object.references(), 2u);
  }
  EXPECT_EQ(object.references(), 1u);

  qxcom::Variant holder = Of(VT_ARRAY | VT_BSTR);
  holder->parray = SafeArrayCreateVector(VT_BSTR, 0, 1);
  LONG index = 0;
  qxcom::Bstr text(SysAllocString(u"inner"));
  ASSERT_EQ(SafeArrayPutElement(holder->parray, &index, text.get()), S_OK);
  BSTR* slot;
  ASSERT_EQ(SafeArrayPtrOfIndex(holder->parray, &index, reinterpret_cast<void**>(&slot)), S_OK);
  VARIANT element;
  element.vt = VT_BSTR;
  element.bstrVal = *slot;  // borrowed from the array that the copy replaces
  ASSERT_EQ(VariantCopy(holder.get(), &element), S_OK);
  EXPECT_EQ(TextOf(holder), u"inner");
}

TEST(VariantTypes, BadTagsAreRefusedAndNothingIsFreed) {
  struct Row { const char* why; VARTYPE vt; };
  const Row kRows[] = {
      {"a VARIANT cannot hold a VARIANT by value", VT_VARIANT},
      {"records have no IRecordInfo on this platform", VT_RECORD},
      {"a reference to nothing", VT_BYREF | VT_EMPTY},
      {"reserved bit set", VT_RESERVED | VT_I4},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    VARIANT bad;
    bad.vt = row.vt;
    bad.byref = &bad;  // would crash if anything were freed or released
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(bad.vt, row.vt);
    qxcom::Variant dest = Text(u"replaced");
    EXPECT_EQ(VariantCopy(dest.get(), &bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(dest->vt, VT_EMPTY) << "a failed copy leaves the destination empty";
    EXPECT_EQ(VariantCopyInd(dest.get(), &bad), DISP_E_BADVARTYPE);
  }
}

TEST(VariantClear, KeepsLockedArrays) {
  VARIANT value;
  value.vt = VT_ARRAY | VT_UI1;
  value.parray = SafeArrayCreateVector(VT_UI1, 0, 4);
  ASSERT_EQ(SafeArrayLock(value.parray), S_OK);
  EXPECT_EQ(VariantClear(&value), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(value.vt, VT_ARRAY | VT_UI1);
  ASSERT_EQ(SafeArrayUnlock(value.parray), S_OK);
  EXPECT_EQ(VariantClear(&value), S_OK);
  EXPECT_EQ(value.vt, VT_EMPTY);
}

TEST(VariantCopyInd, DereferencesEachKindOfReference) {
  LONG i4 = 123456;
  DECIMAL dec{};
  dec.Lo64 = 12345;
  dec.scale = 2;
  qxcom::Bstr text(SysAllocString(u"by reference"));
  BSTR bstr = text.get();
  CountingUnknown object;
  IUnknown* pointer = &object;
  struct Row { const char* why; VARTYPE vt; void* target; const char16_t* text; };
  const Row kRows[] = {
      {"four-byte integer", VT_I4, &i4, u"123456"},
      {"decimal overlays the head, so vt must be set after it", VT_DECIMAL, &dec, u"123.45"},
      {"BSTR", VT_BSTR, &bstr, u"by reference"},
      {"interface is AddRef'd", VT_UNKNOWN, &pointer, nullptr},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    VARIANT source;
    source.vt = VT_BYREF | row.vt;
    source.byref = row.target;
    qxcom::Variant dest;
    ASSERT_EQ(VariantCopyInd(dest.get(), &source), S_OK);
    ASSERT_EQ(dest->vt, row.vt);
    if (row.text) {
      EXPECT_EQ(AsText(dest), row.text);
    }
    EXPECT_EQ(object.references(), row.vt == VT_UNKNOWN ? 2u : 1u);
  }
  EXPECT_EQ(object.references(), 1u);

  qxcom::Variant value = Of(VT_BYREF | VT_BSTR);
  value->pbstrVal = &bstr;
  ASSERT_EQ(VariantCopyInd(value.get(), value.get()), S_OK) << "in place";
  EXPECT_NE(value->bstrVal, bstr) << "a BSTR is duplicated";
  EXPECT_EQ(TextOf(value), u"by reference");
}

}  // namespace
