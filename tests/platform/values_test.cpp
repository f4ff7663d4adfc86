// BSTRs, VARIANT clear and copy, SAFEARRAYs, GUIDs and the Windows x64 layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <set>
#include <span>
#include <string>

#include "platform/counting_unknown.h"
#include "platform/values.h"

namespace {

using namespace platform_test;

// What a BSTR holds: its prefix, then its bytes up to the end of the first
// whole wide null after them (after a half character, that is three bytes).
std::string Raw(BSTR text) {
  UINT prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof prefix, sizeof prefix);
  size_t shown = prefix + 2 + (prefix & 1);
  return std::to_string(prefix) + ":" + std::string(reinterpret_cast<const char*>(text), shown);
}

TEST(Bstr, PrefixHoldsTheByteLengthAndATerminatorFollows) {
  struct Row { const char* why; qxcom::Bstr text; std::string raw; };
  const OLECHAR withNulls[] = {u'a', 0, u'b', 0};
  const Row rows[] = {
      {"characters", qxcom::Bstr(SysAllocString(u"hi")), std::string("4:h\0i\0\0\0", 8)},
      {"embedded nulls are kept", qxcom::Bstr(SysAllocStringLen(withNulls, 4)),
       std::string("8:a\0\0\0b\0\0\0\0\0", 12)},
      {"a null source gives zeroed characters", qxcom::Bstr(SysAllocStringLen(nullptr, 2)),
       std::string("4:\0\0\0\0\0\0", 8)},
      {"an odd byte length keeps the half character", qxcom::Bstr(SysAllocStringByteLen("abc", 3)),
       std::string("3:abc\0\0\0", 8)},
      {"an empty string is allocated", qxcom::Bstr(SysAllocString(u"")), std::string("0:\0\0", 4)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    ASSERT_NE(row.text.get(), nullptr);
    EXPECT_EQ(Raw(row.text.get()), row.raw);
    EXPECT_EQ(SysStringByteLen(row.text.get()), std::stoul(row.raw));
  }
  EXPECT_EQ(SysStringLen(rows[3].text.get()), 1u) << "the half character is not counted";
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
}

TEST(Bstr, HugeLengthsAreRefusedNotWrapped) {
  EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr) << "characters times two wraps";
  EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFFEu / 2), nullptr) << "header and null would wrap";
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFF8u), nullptr) << "header would wrap";
  BSTR text = SysAllocString(u"kept");
  EXPECT_EQ(SysReAllocStringLen(&text, nullptr, 0xFFFFFFFFu), FALSE);
  EXPECT_EQ(Chars(text), u"kept") << "a failed reallocation leaves the target alone";
  SysFreeString(text);
}

TEST(Bstr, ReAllocReplacesAndAcceptsItsOwnCharacters) {
  BSTR text = SysAllocString(u"hello world");
  ASSERT_EQ(SysReAllocString(&text, text + 6), TRUE) << "source inside the old string";
  EXPECT_EQ(Chars(text), u"world");
  ASSERT_EQ(SysReAllocStringLen(&text, nullptr, 8), TRUE);
  EXPECT_EQ(Chars(text), std::u16string(u"world\0\0\0", 8)) << "null keeps old characters";
  ASSERT_EQ(SysReAllocStringLen(&text, nullptr, 2), TRUE);
  EXPECT_EQ(Chars(text), u"wo");
  SysFreeString(text);
}

TEST(VarBstrCat, JoinsBytesWithNullsAsEmpty) {
  qxcom::Bstr odd(SysAllocStringByteLen("xyz", 3));
  for (BSTR part : {odd.get(), BSTR(nullptr)}) {
    BSTR joined = nullptr;
    ASSERT_EQ(VarBstrCat(part, part, &joined), S_OK);
    ASSERT_NE(joined, nullptr) << "two nulls give an allocated empty string";
    qxcom::Bstr owner(joined);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(joined), SysStringByteLen(joined)),
              part ? "xyzxyz" : "") << "odd byte lengths join byte for byte";
  }
}

TEST(VariantCopy, DeepCopiesNestedArraysAndCountsInterfaceReferences) {
  CountingUnknown object;
  {
    // Three VARIANTs: a BSTR, the interface, and an array holding one BSTR.
    qxcom::Variant source = Of(VT_ARRAY | VT_VARIANT);
    source->parray = SafeArrayCreateVector(VT_VARIANT, 0, 3);
    VARIANT* items;
    ASSERT_EQ(SafeArrayAccessData(source->parray, reinterpret_cast<void**>(&items)), S_OK);
    items[0].vt = VT_BSTR;
    items[0].bstrVal = SysAllocString(u"first");
    items[1].vt = VT_UNKNOWN;
    items[1].punkVal = &object;
    object.AddRef();
    items[2].vt = VT_ARRAY | VT_BSTR;
    items[2].parray = SafeArrayCreateVector(VT_BSTR, 1, 1);
    LONG index = 1;
    qxcom::Bstr nested(SysAllocString(u"nested"));
    ASSERT_EQ(SafeArrayPutElement(items[2].parray, &index, nested.get()), S_OK);
    qxcom::Variant copy;
    ASSERT_EQ(VariantCopy(copy.get(), source.get()), S_OK);
    ASSERT_EQ(copy->vt, VT_ARRAY | VT_VARIANT);
    ASSERT_NE(copy->parray, source->parray);
    EXPECT_EQ(object.references(), 3u) << "the copied interface element is AddRef'd";

    VARIANT* copied;
    ASSERT_EQ(SafeArrayAccessData(copy->parray, reinterpret_cast<void**>(&copied)), S_OK);
    EXPECT_NE(copied[0].bstrVal, items[0].bstrVal) << "BSTRs are duplicated";
    EXPECT_EQ(Chars(copied[0].bstrVal), u"first");
    EXPECT_EQ(copied[1].punkVal, &object);
    ASSERT_NE(copied[2].parray, items[2].parray) << "nested arrays are copied too";
    BSTR read = nullptr;
    ASSERT_EQ(SafeArrayGetElement(copied[2].parray, &index, &read), S_OK);
    qxcom::Bstr owner(read);
    EXPECT_EQ(Chars(read), u"nested");
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

TEST(SafeArrayShape, BoundsAreStoredReversedDataIsColumnMajorAndCopiesKeepBoth) {
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
  LONG indices[] = {0, 6};
  LONG* slot;
  ASSERT_EQ(SafeArrayPtrOfIndex(array.get(), indices, reinterpret_cast<void**>(&slot)), S_OK);
  EXPECT_EQ(slot, data + 4);

  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(array.get(), &copy), S_OK) << "a locked source is copied";
  qxcom::SafeArrayPtr copyOwner(copy);
  ASSERT_EQ(SafeArrayUnaccessData(array.get()), S_OK);
  EXPECT_EQ(copy->cLocks, 0u) << "a copy starts unlocked";
  EXPECT_EQ(copy->fFeatures, array.get()->fFeatures);
  EXPECT_EQ(Bounds(copy, 1), "-1..1");
  LONG read = 0;
  ASSERT_EQ(SafeArrayGetElement(copy, indices, &read), S_OK);
  EXPECT_EQ(read, 6);
  SAFEARRAY* none = reinterpret_cast<SAFEARRAY*>(1);
  EXPECT_EQ(SafeArrayCopy(nullptr, &none), S_OK);
  EXPECT_EQ(none, nullptr);
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

TEST(SafeArrayLock, LockedArrayIsNotDestroyedNorClearedFromItsVariant) {
  VARIANT holder;
  holder.vt = VT_ARRAY | VT_BSTR;
  SAFEARRAY* array = holder.parray = SafeArrayCreateVector(VT_BSTR, 0, 1);
  LONG index = 0;
  qxcom::Bstr text(SysAllocString(u"survives"));
  ASSERT_EQ(SafeArrayPutElement(array, &index, text.get()), S_OK);
  void* data;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  ASSERT_EQ(SafeArrayLock(array), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  ASSERT_EQ(SafeArrayUnlock(array), S_OK);
  EXPECT_EQ(VariantClear(&holder), DISP_E_ARRAYISLOCKED) << "one lock is still held";
  EXPECT_EQ(holder.vt, VT_ARRAY | VT_BSTR);
  EXPECT_EQ(Chars(static_cast<BSTR*>(data)[0]), u"survives") << "nothing was freed";
  ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(SafeArrayUnlock(array), E_UNEXPECTED) << "more unlocks than locks";
  EXPECT_EQ(VariantClear(&holder), S_OK);
  EXPECT_EQ(holder.vt, VT_EMPTY);
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
  qxcom::Variant in = Text(u"inside");
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

// Byte vectors made for copying into: shaped and typed as
// SafeArrayCreateVector(VT_UI1, 0, n) would make them, the bytes as given.
TEST(ByteVector, CopiesAreVectorsOfBytesFromZero) {
  const BYTE bytes[] = {0x00, 0xFF, 0x7F};
  for (const std::span<const BYTE> given : {std::span<const BYTE>(bytes), std::span<const BYTE>()}) {
    SCOPED_TRACE(given.size());
    qxcom::SafeArrayPtr copy = qxcom::CopyToByteVector(given);
    ASSERT_NE(copy.get(), nullptr);
    VARTYPE vt = VT_EMPTY;
    ASSERT_EQ(SafeArrayGetVartype(copy.get(), &vt), S_OK);
    EXPECT_EQ(vt, VT_UI1);
    EXPECT_EQ(Bounds(copy.get(), 1), "0.." + std::to_string(LONG(given.size()) - 1));
    const auto* data = static_cast<const BYTE*>(copy.get()->pvData);
    ASSERT_NE(data, nullptr) << "an empty vector still has data";
    EXPECT_TRUE(std::equal(given.begin(), given.end(), data));
  }
}

const GUID kSample = {0x0123ABCD, 0x4567, 0x89EF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};

TEST(Guid, CreateMakesDistinctVersion4Guids) {
  std::set<std::u16string> seen;
  for (int i = 0; i < 64; ++i) {
    GUID guid;
    ASSERT_EQ(CoCreateGuid(&guid), S_OK);
    EXPECT_EQ(guid.Data3 >> 12, 4) << "version nibble";
    EXPECT_EQ(guid.Data4[0] & 0xC0, 0x80) << "RFC 4122 variant bits";
    seen.insert(Braced(guid));
  }
  EXPECT_EQ(seen.size(), 64u);
}

TEST(Guid, TextIsUpperCaseBracedAndReadsBackInEitherCase) {
  EXPECT_EQ(Braced(kSample), u"{0123ABCD-4567-89EF-FEDC-BA9876543210}");
  for (const char16_t* text : {u"{0123ABCD-4567-89EF-FEDC-BA9876543210}",
                               u"{0123abcd-4567-89ef-fedc-ba9876543210}"}) {
    SCOPED_TRACE(Trace(text));
    IID iid;
    ASSERT_EQ(IIDFromString(text, &iid), S_OK);
    EXPECT_EQ(iid, kSample);
  }
}

struct BadGuidRow { const char* why; const char16_t* text; };
constexpr BadGuidRow kBadGuidRows[] = {
    {"no braces", u"0123ABCD-4567-89EF-FEDC-BA9876543210"},
    {"one digit short stops at the null", u"{0123ABCD-4567-89EF-FEDC-BA987654321}"},
    {"extra text after the brace", u"{0123ABCD-4567-89EF-FEDC-BA9876543210}x"},
    {"non-hex digit", u"{0123ABCG-4567-89EF-FEDC-BA9876543210}"},
    {"null", nullptr},
};

TEST(Guid, MalformedTextIsClassString) {
  for (const BadGuidRow& row : kBadGuidRows) {
    SCOPED_TRACE(row.why);
    CLSID clsid = kSample;
    EXPECT_EQ(CLSIDFromString(row.text, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, kSample) << "left unchanged on failure";
  }
  EXPECT_EQ(CLSIDFromString(u"{0123ABCD-4567-89EF-FEDC-BA9876543210}", nullptr), E_INVALIDARG);
}

TEST(Layout, SizesAndOffsetsMatchWindowsX64) {
  EXPECT_EQ(offsetof(SAFEARRAY, pvData), 16u);
  EXPECT_EQ(offsetof(SAFEARRAY, rgsabound), 24u);
  EXPECT_EQ(offsetof(VARIANT, decVal), 0u) << "a DECIMAL overlays the VARIANT head";
  EXPECT_EQ(offsetof(VARIANT, lVal), 8u);
}

}  // namespace
