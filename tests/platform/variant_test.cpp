// VARIANT clear and copy: deep copies of nested arrays, reference counts of
// interfaces, type tag validation and the dereferencing of VariantCopyInd.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/counting_unknown.h"
#include "qxcom.h"

namespace {

std::u16string Chars(BSTR text) { return std::u16string(text, SysStringLen(text)); }

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
    qxcom::Variant source;
    source->vt = VT_ARRAY | VT_VARIANT;
    source->parray = MakeMixedArray(&object);
    EXPECT_EQ(object.references(), 2u);

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
    EXPECT_EQ(Chars(nested), u"nested");
    SysFreeString(nested);
    SafeArrayUnaccessData(source->parray);
    SafeArrayUnaccessData(copy->parray);
  }
  EXPECT_EQ(object.references(), 1u) << "clearing both arrays released both references";
}

TEST(VariantCopy, InterfacesAreAddRefdAndByRefIsCopiedAsThePointer) {
  CountingUnknown object;
  LONG referenced = 7;
  {
    qxcom::Variant source;
    source->vt = VT_DISPATCH;
    source->pdispVal = &object;
    object.AddRef();
    qxcom::Variant copy;
    ASSERT_EQ(VariantCopy(copy.get(), source.get()), S_OK);
    EXPECT_EQ(object.references(), 3u);

    qxcom::Variant reference;
    reference->vt = VT_BYREF | VT_I4;
    reference->plVal = &referenced;
    ASSERT_EQ(VariantCopy(copy.get(), reference.get()), S_OK);
    EXPECT_EQ(object.references(), 2u) << "the copy's old interface was released";
    EXPECT_EQ(copy->vt, VT_BYREF | VT_I4);
    EXPECT_EQ(copy->plVal, &referenced);
  }
  EXPECT_EQ(object.references(), 1u);
}

TEST(VariantCopy, CopyingOntoItselfIsANoOp) {
  qxcom::Variant value;
  value->vt = VT_BSTR;
  value->bstrVal = SysAllocString(u"same");
  BSTR before = value->bstrVal;
  EXPECT_EQ(VariantCopy(value.get(), value.get()), S_OK);
  EXPECT_EQ(value->bstrVal, before);
}

TEST(VariantCopy, SourceInsideTheDestinationIsReadBeforeTheDestinationIsCleared) {
  qxcom::Variant holder;
  holder->vt = VT_ARRAY | VT_BSTR;
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
  ASSERT_EQ(holder->vt, VT_BSTR);
  EXPECT_EQ(Chars(holder->bstrVal), u"inner");
}

TEST(VariantTypes, BadTagsAreRefusedAndNothingIsFreed) {
  struct Row {
    const char* why;
    VARTYPE vt;
  };
  const Row kRows[] = {
      {"gap in the base type numbers", 15},
      {"a VARIANT cannot hold a VARIANT by value", VT_VARIANT},
      {"VT_VOID is a type library type only", VT_VOID},
      {"VT_PTR is a type library type only", VT_PTR},
      {"records have no IRecordInfo on this platform", VT_RECORD},
      {"a reference to nothing", VT_BYREF | VT_EMPTY},
      {"an array of nulls", VT_ARRAY | VT_NULL},
      {"reserved bit set", VT_RESERVED | VT_I4},
      {"largest base type number", VT_TYPEMASK},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    VARIANT bad;
    bad.vt = row.vt;
    bad.byref = &bad;  // would crash if anything were freed or released
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(bad.vt, row.vt);

    qxcom::Variant dest;
    dest->vt = VT_BSTR;
    dest->bstrVal = SysAllocString(u"replaced");
    EXPECT_EQ(VariantCopy(dest.get(), &bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(dest->vt, VT_EMPTY) << "a failed copy leaves the destination empty";
    EXPECT_EQ(VariantCopyInd(dest.get(), &bad), DISP_E_BADVARTYPE);
  }
}

TEST(VariantClear, LockedArrayIsKeptUntilUnlocked) {
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

TEST(VariantClear, ReleasesInterfacesAndLeavesReferencesAlone) {
  CountingUnknown object;
  VARIANT value;
  value.vt = VT_UNKNOWN;
  value.punkVal = &object;
  object.AddRef();
  EXPECT_EQ(VariantClear(&value), S_OK);
  EXPECT_EQ(object.references(), 1u);

  BSTR owned = SysAllocString(u"owned elsewhere");
  value.vt = VT_BYREF | VT_BSTR;
  value.pbstrVal = &owned;
  EXPECT_EQ(VariantClear(&value), S_OK);
  EXPECT_EQ(Chars(owned), u"owned elsewhere");
  SysFreeString(owned);
}

TEST(VariantCopyInd, DereferencesEachKindOfReference) {
  SHORT i2 = -2;
  LONG i4 = 123456;
  DOUBLE r8 = 2.5;
  VARIANT_BOOL flag = VARIANT_TRUE;
  DECIMAL dec{};
  dec.Lo64 = 12345;
  dec.scale = 2;
  qxcom::Bstr text(SysAllocString(u"by reference"));
  BSTR bstr = text.get();

  struct Row {
    const char* why;
    VARTYPE vt;
    void* target;
    VARTYPE expected;
  };
  const Row kRows[] = {
      {"two-byte integer", VT_BYREF | VT_I2, &i2, VT_I2},
      {"four-byte integer", VT_BYREF | VT_I4, &i4, VT_I4},
      {"double", VT_BYREF | VT_R8, &r8, VT_R8},
      {"boolean", VT_BYREF | VT_BOOL, &flag, VT_BOOL},
      {"decimal overlays the head, so vt must be set after it", VT_BYREF | VT_DECIMAL, &dec,
       VT_DECIMAL},
      {"BSTR is duplicated", VT_BYREF | VT_BSTR, &bstr, VT_BSTR},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    VARIANT source;
    source.vt = row.vt;
    source.byref = row.target;
    qxcom::Variant dest;
    ASSERT_EQ(VariantCopyInd(dest.get(), &source), S_OK);
    ASSERT_EQ(dest->vt, row.expected);
    switch (row.expected) {
      case VT_I2: EXPECT_EQ(dest->iVal, i2); break;
      case VT_I4: EXPECT_EQ(dest->lVal, i4); break;
      case VT_R8: EXPECT_EQ(dest->dblVal, r8); break;
      case VT_BOOL: EXPECT_EQ(dest->boolVal, VARIANT_TRUE); break;
      case VT_DECIMAL:
        EXPECT_EQ(dest->decVal.Lo64, 12345u);
        EXPECT_EQ(dest->decVal.scale, 2);
        break;
      case VT_BSTR:
        EXPECT_NE(dest->bstrVal, bstr);
        EXPECT_EQ(Chars(dest->bstrVal), u"by reference");
        break;
    }
  }
}

TEST(VariantCopyInd, InterfaceAndArrayReferencesAreCopiedDeeply) {
  CountingUnknown object;
  IUnknown* pointer = &object;
  qxcom::SafeArrayPtr array(SafeArrayCreateVector(VT_I4, 0, 2));
  SAFEARRAY* arrayPointer = array.get();
  {
    VARIANT source;
    source.vt = VT_BYREF | VT_UNKNOWN;
    source.ppunkVal = &pointer;
    qxcom::Variant dest;
    ASSERT_EQ(VariantCopyInd(dest.get(), &source), S_OK);
    EXPECT_EQ(dest->vt, VT_UNKNOWN);
    EXPECT_EQ(object.references(), 2u);

    source.vt = VT_BYREF | VT_ARRAY | VT_I4;
    source.pparray = &arrayPointer;
    ASSERT_EQ(VariantCopyInd(dest.get(), &source), S_OK);
    EXPECT_EQ(dest->vt, VT_ARRAY | VT_I4);
    EXPECT_NE(dest->parray, array.get()) << "the referenced array is copied, not shared";
    EXPECT_EQ(object.references(), 1u);
  }
}

TEST(VariantCopyInd, VariantReferencesAreFollowedOnce) {
  LONG number = 42;
  VARIANT innermost;
  innermost.vt = VT_BYREF | VT_I4;
  innermost.plVal = &number;
  VARIANT middle;
  middle.vt = VT_BYREF | VT_VARIANT;
  middle.pvarVal = &innermost;
  VARIANT outer;
  outer.vt = VT_BYREF | VT_VARIANT;
  outer.pvarVal = &middle;

  qxcom::Variant dest;
  ASSERT_EQ(VariantCopyInd(dest.get(), &middle), S_OK);
  EXPECT_EQ(dest->vt, VT_I4) << "a by-reference value inside the VARIANT is read too";
  EXPECT_EQ(dest->lVal, 42);
  EXPECT_EQ(VariantCopyInd(dest.get(), &outer), E_INVALIDARG) << "reference to a reference";
  EXPECT_EQ(dest->vt, VT_EMPTY);

  VARIANT dangling;
  dangling.vt = VT_BYREF | VT_I4;
  dangling.plVal = nullptr;
  EXPECT_EQ(VariantCopyInd(dest.get(), &dangling), E_INVALIDARG);
}

TEST(VariantCopyInd, InPlaceDereferenceReplacesTheReference) {
  qxcom::Bstr text(SysAllocString(u"here"));
  BSTR bstr = text.get();
  qxcom::Variant value;
  value->vt = VT_BYREF | VT_BSTR;
  value->pbstrVal = &bstr;
  ASSERT_EQ(VariantCopyInd(value.get(), value.get()), S_OK);
  ASSERT_EQ(value->vt, VT_BSTR);
  EXPECT_NE(value->bstrVal, text.get());
  EXPECT_EQ(Chars(value->bstrVal), u"here");
}

}  // namespace
