// VariantChangeType routes: VT_EMPTY and VT_NULL, booleans, integer text,
// in-place conversion, references, interfaces, VT_ERROR, bad type tags, and
// what is left in the destination when a conversion fails.
#include <gtest/gtest.h>

#include "platform/coerce_test_support.h"
#include "platform/counting_unknown.h"

namespace {

using coerce_test::AsText;
using coerce_test::Change;
using coerce_test::Long;
using coerce_test::Of;
using coerce_test::Real;
using coerce_test::Text;
using coerce_test::TextOf;

TEST(Coerce, EmptyBecomesZeroEmptyTextFalseOrNull) {
  struct Row {
    VARTYPE type;
    HRESULT expected;
  };
  constexpr Row kRows[] = {{VT_I4, S_OK},      {VT_UI8, S_OK},    {VT_R8, S_OK},
                           {VT_DATE, S_OK},    {VT_CY, S_OK},     {VT_DECIMAL, S_OK},
                           {VT_BOOL, S_OK},    {VT_NULL, S_OK},   {VT_BSTR, S_OK},
                           {VT_ERROR, DISP_E_TYPEMISMATCH}, {VT_DISPATCH, DISP_E_TYPEMISMATCH}};
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.type);
    qxcom::Variant result;
    result->vt = VT_I2;
    result->iVal = 7;
    ASSERT_EQ(Change(Of(VT_EMPTY), row.type, &result), row.expected);
    if (row.expected != S_OK) continue;
    EXPECT_EQ(result->vt, row.type);
    if (row.type == VT_BSTR) {
      ASSERT_NE(result->bstrVal, nullptr) << "an allocated empty string";
      EXPECT_EQ(SysStringLen(result->bstrVal), 0u);
    } else if (row.type != VT_NULL) {
      const char16_t* zero = row.type == VT_BOOL   ? u"False"
                             : row.type == VT_DATE ? u"00:00:00"
                                                   : u"0";
      EXPECT_EQ(AsText(result), zero);
    }
  }
}

TEST(Coerce, NullConvertsOnlyToNull) {
  const VARTYPE kTargets[] = {VT_EMPTY, VT_I4, VT_BSTR, VT_BOOL, VT_R8, VT_DECIMAL, VT_UNKNOWN};
  for (VARTYPE type : kTargets) {
    SCOPED_TRACE(type);
    qxcom::Variant result;
    EXPECT_EQ(Change(Of(VT_NULL), type, &result), DISP_E_TYPEMISMATCH);
  }
  qxcom::Variant result;
  ASSERT_EQ(Change(Of(VT_NULL), VT_NULL, &result), S_OK);
  EXPECT_EQ(result->vt, VT_NULL);
  EXPECT_EQ(Change(Long(0), VT_NULL, &result), DISP_E_TYPEMISMATCH) << "only empty becomes null";
}

TEST(Coerce, AnythingButNullMayBeEmptied) {
  qxcom::Variant result;
  ASSERT_EQ(Change(Text(u"x"), VT_EMPTY, &result), S_OK);
  EXPECT_EQ(result->vt, VT_EMPTY);
}

TEST(Coerce, BooleansFromTextAndNumbers) {
  struct Row {
    const char* why;
    const char16_t* text;
    HRESULT expected;
    VARIANT_BOOL value;
  };
  constexpr Row kRows[] = {
      {"lower case", u"true", S_OK, VARIANT_TRUE},
      {"any letter case", u"FaLsE", S_OK, VARIANT_FALSE},
      {"blanks around", u" TRUE\n", S_OK, VARIANT_TRUE},
      {"one", u"1", S_OK, VARIANT_TRUE},
      {"zero", u"0", S_OK, VARIANT_FALSE},
      {"any non-zero number", u"-2.5", S_OK, VARIANT_TRUE},
      {"a zero written as a float", u"0.0e5", S_OK, VARIANT_FALSE},
      {"other words", u"yes", DISP_E_TYPEMISMATCH, 0},
      {"a prefix of a word", u"tru", DISP_E_TYPEMISMATCH, 0},
      {"empty text", u"", DISP_E_TYPEMISMATCH, 0},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    qxcom::Variant result;
    ASSERT_EQ(Change(Text(row.text), VT_BOOL, &result), row.expected);
    if (row.expected == S_OK) {
      EXPECT_EQ(result->boolVal, row.value);
    }
  }
  qxcom::Variant result;
  ASSERT_EQ(Change(Real(0.25), VT_BOOL, &result), S_OK);
  EXPECT_EQ(result->boolVal, VARIANT_TRUE) << "non-zero numbers are true";
  ASSERT_EQ(Change(Real(-0.0), VT_BOOL, &result), S_OK);
  EXPECT_EQ(result->boolVal, VARIANT_FALSE);
}

TEST(Coerce, BooleansAsNumbersAndText) {
  qxcom::Variant truth;
  truth->boolVal = VARIANT_TRUE;
  truth->vt = VT_BOOL;
  qxcom::Variant result;
  ASSERT_EQ(Change(truth, VT_I4, &result), S_OK);
  EXPECT_EQ(result->lVal, -1);
  ASSERT_EQ(Change(truth, VT_R8, &result), S_OK);
  EXPECT_EQ(result->dblVal, -1.0);
  EXPECT_EQ(Change(truth, VT_UI1, &result), DISP_E_OVERFLOW) << "-1 is not wrapped to 255";
  EXPECT_EQ(AsText(truth), u"True");
  truth->boolVal = VARIANT_FALSE;
  EXPECT_EQ(AsText(truth), u"False");
}

TEST(Coerce, IntegerTextForms) {
  struct Row {
    const char* why;
    const char16_t* text;
    HRESULT expected;
    LONG value;
  };
  constexpr Row kRows[] = {
      {"blanks around", u" \t42\r\n", S_OK, 42},
      {"explicit plus", u"+7", S_OK, 7},
      {"negative", u"-13", S_OK, -13},
      {"a fraction is not an integer", u"1.0", DISP_E_TYPEMISMATCH, 0},
      {"nor is an exponent", u"1e3", DISP_E_TYPEMISMATCH, 0},
      {"blank inside", u"4 2", DISP_E_TYPEMISMATCH, 0},
      {"sign alone", u"-", DISP_E_TYPEMISMATCH, 0},
      {"empty", u"", DISP_E_TYPEMISMATCH, 0},
      {"digits of another script", u"\u0664\u0662", DISP_E_TYPEMISMATCH, 0},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    qxcom::Variant result;
    ASSERT_EQ(Change(Text(row.text), VT_I4, &result), row.expected);
    if (row.expected == S_OK) {
      EXPECT_EQ(result->lVal, row.value);
    }
  }
  qxcom::Variant result;
  EXPECT_EQ(Change(Text(std::u16string_view(u"4\0" "2", 3)), VT_I4, &result), DISP_E_TYPEMISMATCH)
      << "the BSTR's length counts, not its first null";
  EXPECT_EQ(AsText(Long(-2147483647 - 1)), u"-2147483648");
}

TEST(Coerce, InPlaceConversionReplacesTheValue) {
  qxcom::Variant value = Text(u"  1234 ");
  ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_I2), S_OK);
  EXPECT_EQ(value->vt, VT_I2);
  EXPECT_EQ(value->iVal, 1234);
  ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_BSTR), S_OK);
  EXPECT_EQ(TextOf(value), u"1234");
  ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_BSTR), S_OK) << "same type";
  EXPECT_EQ(TextOf(value), u"1234");
}

TEST(Coerce, FailureLeavesTheDestinationAsItWas) {
  qxcom::Variant value = Text(u"12x");
  EXPECT_EQ(VariantChangeType(value.get(), value.get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(TextOf(value), u"12x") << "in place";
  qxcom::Variant dest = Text(u"keep");
  EXPECT_EQ(Change(Real(1e10), VT_I4, &dest), DISP_E_OVERFLOW);
  ASSERT_EQ(dest->vt, VT_BSTR);
  EXPECT_EQ(TextOf(dest), u"keep");
}

TEST(Coerce, ReferencesAreFollowed) {
  LONG number = 77;
  qxcom::Variant reference;
  reference->plVal = &number;
  reference->vt = VT_BYREF | VT_I4;
  EXPECT_EQ(AsText(reference), u"77");
  qxcom::Variant result;
  ASSERT_EQ(Change(reference, VT_I4, &result), S_OK);
  EXPECT_EQ(result->vt, VT_I4) << "the same base type still loses the reference";
  EXPECT_EQ(result->lVal, 77);

  qxcom::Variant inner = Text(u"2.5");
  qxcom::Variant outer;
  outer->pvarVal = inner.get();
  outer->vt = VT_BYREF | VT_VARIANT;
  ASSERT_EQ(Change(outer, VT_R8, &result), S_OK);
  EXPECT_EQ(result->dblVal, 2.5);
  EXPECT_EQ(TextOf(inner), u"2.5") << "the referenced value is not touched";

  qxcom::Variant dangling;
  dangling->byref = nullptr;
  dangling->vt = VT_BYREF | VT_R8;
  EXPECT_EQ(Change(dangling, VT_I4, &result), E_INVALIDARG);
}

TEST(Coerce, InterfacesConvertOnlyToInterfaces) {
  CountingUnknown object;
  {
    qxcom::Variant dispatch;
    dispatch->pdispVal = &object;
    dispatch->vt = VT_DISPATCH;
    object.AddRef();  // the VARIANT's reference
    qxcom::Variant unknown;
    ASSERT_EQ(Change(dispatch, VT_UNKNOWN, &unknown), S_OK);
    EXPECT_EQ(unknown->punkVal, static_cast<IUnknown*>(&object));
    EXPECT_EQ(object.references(), 3u);
    qxcom::Variant back;
    ASSERT_EQ(Change(unknown, VT_DISPATCH, &back), S_OK);
    EXPECT_EQ(back->pdispVal, static_cast<IDispatch*>(&object));
    EXPECT_EQ(object.references(), 4u);
    qxcom::Variant result;
    EXPECT_EQ(Change(dispatch, VT_I4, &result), DISP_E_TYPEMISMATCH) << "no default property read";
    EXPECT_EQ(Change(dispatch, VT_BSTR, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Change(Long(1), VT_UNKNOWN, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(object.references(), 4u) << "failures take no reference";
  }
  EXPECT_EQ(object.references(), 1u) << "every reference taken was released";

  qxcom::Variant none = Of(VT_UNKNOWN);
  none->punkVal = nullptr;
  qxcom::Variant result;
  ASSERT_EQ(Change(none, VT_DISPATCH, &result), S_OK);
  EXPECT_EQ(result->pdispVal, nullptr) << "a null reference stays null";
}

// An object with IUnknown alone, which a VT_DISPATCH cannot hold.
class PlainUnknown : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

TEST(Coerce, AnObjectWithoutIDispatchIsNoDispatch) {
  PlainUnknown object;
  qxcom::Variant unknown;
  unknown->punkVal = &object;  // its Release never frees: it lives on the stack
  unknown->vt = VT_UNKNOWN;
  qxcom::Variant result = Text(u"keep");
  EXPECT_EQ(Change(unknown, VT_DISPATCH, &result), E_NOINTERFACE);
  EXPECT_EQ(TextOf(result), u"keep");
}

TEST(Coerce, ErrorCodesMeetOnlyThe32BitIntegers) {
  qxcom::Variant error;
  error->scode = DISP_E_OVERFLOW;
  error->vt = VT_ERROR;
  qxcom::Variant result;
  ASSERT_EQ(Change(error, VT_I4, &result), S_OK);
  EXPECT_EQ(result->lVal, DISP_E_OVERFLOW);
  ASSERT_EQ(Change(error, VT_UI4, &result), S_OK);
  EXPECT_EQ(result->ulVal, 0x8002000Au) << "bit for bit";
  ASSERT_EQ(Change(Long(5), VT_ERROR, &result), S_OK);
  EXPECT_EQ(result->scode, 5);
  EXPECT_EQ(Change(error, VT_BSTR, &result), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Change(error, VT_I2, &result), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Change(Real(5), VT_ERROR, &result), DISP_E_TYPEMISMATCH);
}

TEST(Coerce, BadTypeTagsAndArrays) {
  qxcom::Variant result;
  EXPECT_EQ(Change(Long(1), VT_BYREF | VT_I4, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(Long(1), 15, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(Long(1), VT_VARIANT, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(Change(Of(0x0FFF), VT_I4, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantChangeType(nullptr, result.get(), 0, VT_I4), E_INVALIDARG);
  EXPECT_EQ(VariantChangeType(result.get(), nullptr, 0, VT_I4), E_INVALIDARG);

  qxcom::Variant array;
  array->parray = SafeArrayCreateVector(VT_I4, 0, 2);
  array->vt = VT_ARRAY | VT_I4;
  EXPECT_EQ(Change(array, VT_I4, &result), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Change(array, VT_BSTR, &result), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(Change(array, VT_ARRAY | VT_I4, &result), S_OK);
  EXPECT_NE(result->parray, array->parray) << "a copy of its own";
}

TEST(Coerce, LocaleAndFlagsDoNotChangeTheText) {
  qxcom::Variant result;
  constexpr LCID kGerman = 0x0407;  // uses a decimal comma on Windows
  qxcom::Variant text = Text(u"1.5");
  ASSERT_EQ(VariantChangeTypeEx(result.get(), text.get(), kGerman, VARIANT_LOCALBOOL, VT_R8), S_OK);
  EXPECT_EQ(result->dblVal, 1.5);
}

TEST(VarUI4FromStr, ReadsUnsigned32BitText) {
  ULONG value = 0;
  ASSERT_EQ(VarUI4FromStr(u" 4294967295 ", LOCALE_USER_DEFAULT, 0, &value), S_OK);
  EXPECT_EQ(value, 4294967295u);
  value = 9;
  EXPECT_EQ(VarUI4FromStr(u"4294967296", LOCALE_USER_DEFAULT, 0, &value), DISP_E_OVERFLOW);
  EXPECT_EQ(VarUI4FromStr(u"-1", LOCALE_USER_DEFAULT, 0, &value), DISP_E_OVERFLOW);
  EXPECT_EQ(VarUI4FromStr(u"12a", LOCALE_USER_DEFAULT, 0, &value), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(value, 9u) << "untouched on failure";
  EXPECT_EQ(VarUI4FromStr(nullptr, LOCALE_USER_DEFAULT, 0, &value), E_INVALIDARG);
  EXPECT_EQ(VarUI4FromStr(u"1", LOCALE_USER_DEFAULT, 0, nullptr), E_INVALIDARG);
}

}  // namespace
