// VariantChangeType routes: VT_EMPTY and VT_NULL, booleans, dates, VT_ERROR,
// in-place conversion, references, interfaces, bad type tags, and what is
// left in the destination when a conversion fails.
#include <gtest/gtest.h>

#include "platform/counting_unknown.h"
#include "platform/values.h"

namespace {

using namespace platform_test;

struct RouteRow {
  const char* why;
  qxcom::Variant source;
  VARTYPE type;
  HRESULT expected;
  const char16_t* text;  // the result read back as text; null: not read
};

qxcom::Variant Truth() {
  qxcom::Variant value = Of(VT_BOOL);
  value->boolVal = VARIANT_TRUE;
  return value;
}

qxcom::Variant Date(DATE date) {
  qxcom::Variant value = Of(VT_DATE);
  value->date = date;
  return value;
}

qxcom::Variant Error() {
  qxcom::Variant value = Of(VT_ERROR);
  value->scode = DISP_E_OVERFLOW;
  return value;
}

TEST(Coerce, RoutesBetweenTypes) {
  const RouteRow rows[] = {
      {"empty is zero", Of(VT_EMPTY), VT_UI8, S_OK, u"0"},
      {"empty is false", Of(VT_EMPTY), VT_BOOL, S_OK, u"False"},
      {"empty is an allocated empty string", Of(VT_EMPTY), VT_BSTR, S_OK, u""},
      {"empty is no error code", Of(VT_EMPTY), VT_ERROR, DISP_E_TYPEMISMATCH, nullptr},
      {"null is no number", Of(VT_NULL), VT_I4, DISP_E_TYPEMISMATCH, nullptr},
      {"null cannot be emptied", Of(VT_NULL), VT_EMPTY, DISP_E_TYPEMISMATCH, nullptr},
      {"true is -1", Truth(), VT_I4, S_OK, u"-1"},
      {"true is not wrapped to 255", Truth(), VT_UI1, DISP_E_OVERFLOW, nullptr},
      {"true as text", Truth(), VT_BSTR, S_OK, u"True"},
      {"a non-zero fraction is true", Real(0.25), VT_BOOL, S_OK, u"True"},
      {"negative zero is false", Real(-0.0), VT_BOOL, S_OK, u"False"},
      {"an error code is its bits as I4", Error(), VT_I4, S_OK, u"-2147352566"},
      {"an error code is no text", Error(), VT_BSTR, DISP_E_TYPEMISMATCH, nullptr},
      {"a number is no object", Long(1), VT_UNKNOWN, DISP_E_TYPEMISMATCH, nullptr},
      {"a number is a date", Real(2.75), VT_DATE, S_OK, u"1900-01-01 18:00:00"},
      {"a number past 9999 is no date", Real(3e6), VT_DATE, DISP_E_OVERFLOW, nullptr},
      {"a date is a number, rounded half to even", Date(2.5), VT_I4, S_OK, u"2"},
  };
  for (const RouteRow& row : rows) {
    SCOPED_TRACE(row.why);
    qxcom::Variant result = Long(7);
    ASSERT_EQ(Change(row.source, row.type, &result), row.expected);
    if (FAILED(row.expected)) {
      EXPECT_EQ(result->lVal, 7) << "a failure leaves the destination as it was";
      continue;
    }
    EXPECT_EQ(result->vt, row.type);
    if (row.text) {
      EXPECT_EQ(AsText(result), row.text);
    }
  }
}

TEST(Coerce, TextLengthIsTheBstrLength) {
  qxcom::Variant result;
  EXPECT_EQ(Change(Text(std::u16string_view(u"4\0" "2", 3)), VT_I4, &result), DISP_E_TYPEMISMATCH)
      << "the BSTR's length counts, not its first null";
}

TEST(Coerce, InPlaceConversionReplacesOrKeepsTheValue) {
  qxcom::Variant value = Text(u"  1234 ");
  ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_I2), S_OK);
  EXPECT_EQ(value->iVal, 1234);
  ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_BSTR), S_OK);
  EXPECT_EQ(TextOf(value), u"1234");
  value = Text(u"12x");
  EXPECT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(TextOf(value), u"12x") << "a failure in place keeps the source";
}

TEST(Coerce, ReferencesAreFollowed) {
  LONG number = 77;
  qxcom::Variant reference = Of(VT_BYREF | VT_I4);
  reference->plVal = &number;
  qxcom::Variant result;
  ASSERT_EQ(Change(reference, VT_I4, &result), S_OK);
  EXPECT_EQ(result->vt, VT_I4) << "the same base type still loses the reference";
  EXPECT_EQ(result->lVal, 77);

  qxcom::Variant inner = Text(u"2.5");
  qxcom::Variant outer = Of(VT_BYREF | VT_VARIANT);
  outer->pvarVal = inner.get();
  ASSERT_EQ(Change(outer, VT_R8, &result), S_OK);
  EXPECT_EQ(result->dblVal, 2.5);
  EXPECT_EQ(TextOf(inner), u"2.5") << "the referenced value is not touched";

  qxcom::Variant dangling = Of(VT_BYREF | VT_R8);
  dangling->byref = nullptr;
  EXPECT_EQ(Change(dangling, VT_I4, &result), E_INVALIDARG);
}

TEST(Coerce, InterfacesConvertOnlyToInterfaces) {
  CountingUnknown object;
  {
    qxcom::Variant dispatch = Of(VT_DISPATCH);
    dispatch->pdispVal = &object;
    object.AddRef();  // the VARIANT's reference
    qxcom::Variant unknown, back, result;
    ASSERT_EQ(Change(dispatch, VT_UNKNOWN, &unknown), S_OK);
    EXPECT_EQ(unknown->punkVal, static_cast<IUnknown*>(&object));
    ASSERT_EQ(Change(unknown, VT_DISPATCH, &back), S_OK);
    EXPECT_EQ(back->pdispVal, static_cast<IDispatch*>(&object));
    EXPECT_EQ(object.references(), 4u);
    EXPECT_EQ(Change(dispatch, VT_I4, &result), DISP_E_TYPEMISMATCH) << "no default property read";
    EXPECT_EQ(object.references(), 4u) << "failures take no reference";
  }
  EXPECT_EQ(object.references(), 1u) << "every reference taken was released";

  qxcom::Variant none = Of(VT_UNKNOWN);
  none->punkVal = nullptr;
  qxcom::Variant result;
  ASSERT_EQ(Change(none, VT_DISPATCH, &result), S_OK);
  EXPECT_EQ(result->pdispVal, nullptr) << "a null reference stays null";
}

TEST(Coerce, BadTypeTagsAndArrays) {
  qxcom::Variant result;
  EXPECT_EQ(Change(Long(1), VT_BYREF | VT_I4, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(Long(1), 15, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(Of(0x0FFF), VT_I4, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantChangeType(nullptr, result.get(), 0, VT_I4), E_INVALIDARG);

  qxcom::Variant array = Of(VT_ARRAY | VT_I4);
  array->parray = SafeArrayCreateVector(VT_I4, 0, 2);
  EXPECT_EQ(Change(array, VT_BSTR, &result), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(Change(array, VT_ARRAY | VT_I4, &result), S_OK);
  EXPECT_NE(result->parray, array->parray) << "a copy of its own";
}

}  // namespace
