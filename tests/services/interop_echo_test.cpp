// Every echo operation of the interop service, called by name through
// IDispatch::Invoke on an object created by ProgID: what comes back is what
// went in, converted to the operation's type. The wire's stress values
// (non-ASCII text, extremes, every byte value, long arrays) go through the
// real clients in tests/interop; these rows are the conversions and the
// values only an automation caller can pass.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstring>
#include <functional>

#include "services/interop_environment.h"
#include "services/late_call.h"

namespace qxsoap::test {
namespace {

// The DECIMAL is written before vt, which its first field overlays.
qxcom::Variant Decimal(BYTE scale, BYTE sign, ULONG hi32, ULONGLONG lo64) {
  qxcom::Variant value;
  DECIMAL number{};
  number.scale = scale;
  number.sign = sign;
  number.Hi32 = hi32;
  number.Lo64 = lo64;
  V_DECIMAL(value.get()) = number;
  V_VT(value.get()) = VT_DECIMAL;
  return value;
}

// Same type and the same value, bit for bit (so -0.0 is not 0.0).
bool SameValue(const VARIANT& a, const VARIANT& b) {
  if (V_VT(&a) != V_VT(&b)) return false;
  switch (V_VT(&a)) {
    case VT_EMPTY: return true;
    case VT_BSTR: return TextOf(a) == TextOf(b);
    case VT_I4: return V_I4(&a) == V_I4(&b);
    case VT_R4: return std::memcmp(&V_R4(&a), &V_R4(&b), sizeof(float)) == 0;
    case VT_DATE: return std::memcmp(&V_DATE(&a), &V_DATE(&b), sizeof(DATE)) == 0;
    case VT_BOOL: return V_BOOL(&a) == V_BOOL(&b);
    case VT_DECIMAL: {
      const DECIMAL &x = V_DECIMAL(&a), &y = V_DECIMAL(&b);
      return x.scale == y.scale && x.sign == y.sign && x.Hi32 == y.Hi32 && x.Lo64 == y.Lo64;
    }
    case VT_ARRAY | VT_UI1: return BytesOf(V_ARRAY(&a)) == BytesOf(V_ARRAY(&b));
    case VT_ARRAY | VT_VARIANT: {
      const std::vector<qxcom::Variant> x = ItemsOf(a), y = ItemsOf(b);
      if (x.size() != y.size()) return false;
      for (size_t i = 0; i < x.size(); ++i) {
        if (!SameValue(*x[i].get(), *y[i].get())) return false;
      }
      return true;
    }
    default: return false;
  }
}

class InteropEcho : public ::testing::Test {
 protected:
  void SetUp() override {
    service_ = CreateInteropService();
    ASSERT_TRUE(service_);
  }
  CallOutcome Echo(std::u16string_view operation, qxcom::Variant& input) {
    return CallByName(*service_.get(), operation, {input.get()});
  }

  struct EchoRow {
    const char* why;
    const char16_t* operation;
    std::function<qxcom::Variant()> input;
    std::function<qxcom::Variant()> expected;  // null: the input itself
  };

  // Each row's operation answers its input with the expected value.
  template <size_t N>
  void ExpectEchoes(const EchoRow (&rows)[N]) {
    for (const EchoRow& row : rows) {
      SCOPED_TRACE(row.why);
      qxcom::Variant input = row.input();
      const qxcom::Variant expected = row.expected ? row.expected() : row.input();
      CallOutcome outcome = Echo(row.operation, input);
      ASSERT_EQ(outcome.hr, S_OK);
      EXPECT_TRUE(SameValue(*outcome.result.get(), *expected.get()));
    }
  }

  qxcom::ComPtr<IDispatch> service_;
};

TEST_F(InteropEcho, SimpleValuesComeBackAsTheyWent) {
  const EchoRow rows[] = {
      {"empty string", u"echoString", [] { return BstrVariant(u""); }, nullptr},
      {"an embedded null is part of the string", u"echoString",
       [] { return BstrVariant(std::u16string_view(u"a\0b", 3)); }, nullptr},
      {"a number is converted to its text", u"echoString", [] { return LongVariant(-12); },
       [] { return BstrVariant(u"-12"); }},
      {"text is converted to the integer", u"echoInteger", [] { return BstrVariant(u"42"); },
       [] { return LongVariant(42); }},
      {"smallest denormal", u"echoFloat", [] { return FloatVariant(1e-45f); }, nullptr},
      {"a negative date with a time", u"echoDate", [] { return DateVariant(-1.25); }, nullptr},
      {"a date with a time of day", u"echoDate", [] { return DateVariant(45000.75); }, nullptr},
      {"largest decimal", u"echoDecimal",
       [] { return Decimal(0, 0, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFF); }, nullptr},
      {"negative decimal with 28 places", u"echoDecimal",
       [] { return Decimal(28, DECIMAL_NEG, 0, 1); }, nullptr},
      {"negative zero keeps its sign", u"echoFloat", [] { return FloatVariant(-0.0f); }, nullptr},
      {"a non-zero number is true", u"echoBoolean", [] { return LongVariant(5); },
       [] { return BoolVariant(VARIANT_TRUE); }},
      {"empty base64", u"echoBase64", [] { return ByteArrayVariant({}); }, nullptr},
      {"empty hexBinary", u"echoHexBinary", [] { return ByteArrayVariant({}); }, nullptr},
  };
  ExpectEchoes(rows);
}

TEST_F(InteropEcho, ArraysComeBackItemForItemInTheirItemType) {
  const qxcom::Variant seven = LongVariant(7), sevenText = BstrVariant(u"7"), empty = BstrVariant(u""),
                       max = LongVariant(INT_MAX);
  const EchoRow rows[] = {
      {"empty string array", u"echoStringArray", [] { return VariantArray({}); }, nullptr},
      {"items are converted to strings", u"echoStringArray",
       [&] { return VariantArray({seven.get(), empty.get()}); },
       [&] { return VariantArray({sevenText.get(), empty.get()}); }},
      {"empty integer array", u"echoIntegerArray", [] { return VariantArray({}); }, nullptr},
      {"items are converted to integers", u"echoIntegerArray",
       [&] { return VariantArray({sevenText.get(), max.get()}); },
       [&] { return VariantArray({seven.get(), max.get()}); }},
      {"empty struct array", u"echoStructArray", [] { return VariantArray({}); }, nullptr},
  };
  ExpectEchoes(rows);
}

TEST_F(InteropEcho, EveryItemOfATwoDimensionalArrayIsConverted) {
  SAFEARRAYBOUND bounds[] = {{2, 0}, {3, 1}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  VARIANT* items = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&items)), S_OK);
  for (int i = 0; i < 6; ++i) {
    V_VT(&items[i]) = VT_BSTR;
    V_BSTR(&items[i]) = SysAllocString(std::u16string(1, char16_t(u'0' + i)).c_str());
  }
  SafeArrayUnaccessData(array);
  qxcom::Variant input;
  V_VT(input.get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(input.get()) = array;
  CallOutcome outcome = Echo(u"echoIntegerArray", input);
  ASSERT_EQ(outcome.hr, S_OK);
  SAFEARRAY* echoed = V_ARRAY(outcome.result.get());
  ASSERT_EQ(SafeArrayGetDim(echoed), 2u);
  ASSERT_EQ(SafeArrayAccessData(echoed, reinterpret_cast<void**>(&items)), S_OK);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(V_VT(&items[i]), VT_I4) << i;
    EXPECT_EQ(V_I4(&items[i]), i) << i;
  }
  SafeArrayUnaccessData(echoed);
}

// A SOAPStruct as the handler delivers one: a struct object with varString,
// varInt and varFloat.
qxcom::ComPtr<StructObject> SoapStruct(std::u16string_view text, LONG number, float real) {
  qxcom::ComPtr<StructObject> object;
  EXPECT_EQ(CoCreateInstance(CLSID_StructObject, nullptr, CLSCTX_INPROC_SERVER, IID_StructObject,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  if (!object) return object;
  const std::pair<const char16_t*, qxcom::Variant> members[] = {
      {u"varString", BstrVariant(text)}, {u"varInt", LongVariant(number)}, {u"varFloat", FloatVariant(real)}};
  for (const auto& [name, value] : members) {
    qxcom::Bstr memberName(SysAllocString(name));
    VARIANT_BOOL stored = VARIANT_FALSE;
    object->AddMember(memberName.get(), nullptr, *value.get(), &stored);
    EXPECT_EQ(stored, VARIANT_TRUE);
  }
  return object;
}

qxcom::Variant DispatchOf(StructObject* object) {
  qxcom::Variant value;
  V_VT(value.get()) = VT_DISPATCH;
  V_DISPATCH(value.get()) = object;
  object->AddRef();
  return value;
}

TEST_F(InteropEcho, AStructComesBackAsTheSameObject) {
  qxcom::ComPtr<StructObject> point = SoapStruct(u"\U0001F600 x", INT_MIN, -FLT_MAX);
  ASSERT_TRUE(point);
  qxcom::Variant input = DispatchOf(point.get());
  CallOutcome outcome = Echo(u"echoStruct", input);
  ASSERT_EQ(outcome.hr, S_OK);
  ASSERT_EQ(V_VT(outcome.result.get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(outcome.result.get()), V_DISPATCH(input.get()));
  EXPECT_EQ(Describe(*outcome.result.get()),
            u"{varString='\U0001F600 x';varInt=I4:-2147483648;varFloat=R4:-3.4028235e+38;}");
}

TEST_F(InteropEcho, NestedStructArraysComeBackWhole) {
  qxcom::ComPtr<StructObject> inner1 = SoapStruct(u"", 0, 0.0f), inner2 = SoapStruct(u"b", 2, 2.5f);
  qxcom::ComPtr<StructObject> outer = SoapStruct(u"outer", 1, 1.0f);
  ASSERT_TRUE(inner1 && inner2 && outer);
  qxcom::Variant first = DispatchOf(inner1.get()), second = DispatchOf(inner2.get());
  qxcom::Variant nested = VariantArray({first.get(), second.get()});
  qxcom::Bstr children(SysAllocString(u"children"));
  VARIANT_BOOL stored = VARIANT_FALSE;
  outer->AddMember(children.get(), nullptr, *nested.get(), &stored);
  qxcom::Variant outerValue = DispatchOf(outer.get());
  qxcom::Variant input = VariantArray({outerValue.get(), first.get()});
  CallOutcome outcome = Echo(u"echoStructArray", input);
  ASSERT_EQ(outcome.hr, S_OK);
  const std::vector<qxcom::Variant> items = ItemsOf(*outcome.result.get());
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(Describe(*items[0].get()),
            u"{varString='outer';varInt=I4:1;varFloat=R4:1;children=[{varString='';varInt=I4:0;"
            u"varFloat=R4:0;},{varString='b';varInt=I4:2;varFloat=R4:2.5;}];}");
  EXPECT_EQ(V_DISPATCH(items[1].get()), static_cast<IDispatch*>(inner1.get()));
}

TEST_F(InteropEcho, EchoVoidTakesNothingAndGivesNothing) {
  CallOutcome outcome = CallByName(*service_.get(), u"echoVoid", {});
  ASSERT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(V_VT(outcome.result.get()), VT_EMPTY);
}

struct RefusalRow {
  const char* why;
  const char16_t* operation;
  std::function<std::vector<qxcom::Variant>()> args;
  HRESULT expected;
  UINT argError;
};

TEST_F(InteropEcho, ArgumentsThatDoNotFitAreRefused) {
  const qxcom::Variant x = BstrVariant(u"x");
  const RefusalRow rows[] = {
      {"text that is no integer", u"echoInteger",
       [] { std::vector<qxcom::Variant> v; v.push_back(BstrVariant(u"abc")); return v; },
       DISP_E_TYPEMISMATCH, 0},
      {"an integer out of range", u"echoInteger",
       [] { std::vector<qxcom::Variant> v; v.push_back(BstrVariant(u"99999999999")); return v; },
       DISP_E_OVERFLOW, 0},
      {"a string where an array belongs", u"echoStringArray",
       [] { std::vector<qxcom::Variant> v; v.push_back(BstrVariant(u"a")); return v; },
       DISP_E_TYPEMISMATCH, 0},
      {"an array item that is no integer", u"echoIntegerArray",
       [&] { std::vector<qxcom::Variant> v; v.push_back(VariantArray({x.get()})); return v; },
       DISP_E_TYPEMISMATCH, 0},
      {"a number where a struct belongs", u"echoStruct",
       [] { std::vector<qxcom::Variant> v; v.push_back(LongVariant(1)); return v; },
       DISP_E_TYPEMISMATCH, 0},
      {"a struct array item that is no struct", u"echoStructArray",
       [&] { std::vector<qxcom::Variant> v; v.push_back(VariantArray({x.get()})); return v; },
       DISP_E_TYPEMISMATCH, 0},
      {"echoString without its argument", u"echoString",
       [] { return std::vector<qxcom::Variant>(); }, DISP_E_BADPARAMCOUNT, ~0u},
      {"echoVoid with an argument", u"echoVoid",
       [] { std::vector<qxcom::Variant> v; v.push_back(LongVariant(1)); return v; },
       DISP_E_BADPARAMCOUNT, ~0u},
  };
  for (const RefusalRow& row : rows) {
    SCOPED_TRACE(row.why);
    std::vector<qxcom::Variant> args = row.args();
    std::vector<VARIANT*> pointers;
    for (qxcom::Variant& arg : args) pointers.push_back(arg.get());
    CallOutcome outcome = CallByName(*service_.get(), row.operation, pointers);
    EXPECT_EQ(outcome.hr, row.expected);
    EXPECT_EQ(outcome.argError, row.argError);
  }
}

}  // namespace
}  // namespace qxsoap::test
