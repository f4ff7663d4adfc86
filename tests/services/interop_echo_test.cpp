// Every echo operation of the interop service, called by name through
// IDispatch::Invoke on an object created by ProgID: what comes back is what
// went in, converted to the operation's type. The wire's stress values
// (non-ASCII text, extremes, every byte value, long arrays) go through the
// real clients in tests/interop; these rows are the conversions and the
// values only an automation caller can pass.
#include <gtest/gtest.h>

#include <climits>

#include "services/service_calls.h"

namespace qxsoap::test {
namespace {

// A 2 x 3 VT_VARIANT array of the texts "0" to "5".
qxcom::Variant TwoByThree() {
  SAFEARRAYBOUND bounds[] = {{2, 0}, {3, 1}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  VARIANT* items = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
  for (int i = 0; i < 6; ++i) VariantCopy(&items[i], BstrVariant(std::u16string(1, char16_t(u'0' + i))).get());
  SafeArrayUnaccessData(array);
  return ArrayVariant(VT_VARIANT, array);
}

// Describe, with byte arrays told apart from arrays of variants.
std::u16string Shown(const VARIANT& value) {
  return (V_VT(&value) == (VT_ARRAY | VT_UI1) ? u"bytes " : u"") + Describe(value);
}

class InteropEcho : public ::testing::Test {
 protected:
  void SetUp() override {
    service_ = CreateInteropService();
    ASSERT_TRUE(service_);
  }
  // One argument, none when `input` is empty.
  CallOutcome Echo(std::u16string_view operation, qxcom::Variant& input) {
    if (V_VT(input.get()) == VT_EMPTY) return CallByName(*service_.get(), operation, {});
    return CallByName(*service_.get(), operation, {input.get()});
  }
  qxcom::ComPtr<IDispatch> service_;
};

TEST_F(InteropEcho, ValuesComeBackAsTheyWentInTheOperationsType) {
  const qxcom::Variant seven = LongVariant(7), sevenText = BstrVariant(u"7"), empty = BstrVariant(u""),
                       max = LongVariant(INT_MAX);
  struct {
    const char16_t* operation;
    qxcom::Variant input;
    std::u16string expected;
  } rows[] = {
      {u"echoString", BstrVariant(std::u16string_view(u"a\0b", 3)), std::u16string(u"BSTR:a\0b", 8)},
      {u"echoInteger", BstrVariant(u"42"), u"I4:42"},
      {u"echoFloat", FloatVariant(1e-45f), u"R4:1.4012984643248171e-45"},  // smallest denormal
      {u"echoDate", DateVariant(-1.25), u"DATE:-1.25"},
      {u"echoDecimal", DecimalVariant(u"79228162514264337593543950335"), u"DECIMAL:79228162514264337593543950335"},
      {u"echoBoolean", LongVariant(5), u"BOOL:-1"},
      {u"echoBase64", ByteArrayVariant({}), u"bytes ARRAY[]"},
      {u"echoHexBinary", ByteArrayVariant({0, 255}), u"bytes ARRAY[UI1:0,UI1:255]"},
      {u"echoVoid", {}, u"EMPTY"},
      {u"echoStringArray", VariantArray({seven.get(), empty.get()}), u"ARRAY[BSTR:7,BSTR:]"},
      {u"echoIntegerArray", VariantArray({sevenText.get(), max.get()}), u"ARRAY[I4:7,I4:2147483647]"},
      {u"echoIntegerArray", TwoByThree(), u"ARRAY(3,2)[I4:0,I4:1,I4:2,I4:3,I4:4,I4:5]"},  // every item converted
  };
  for (auto& row : rows) {
    CallOutcome outcome = Echo(row.operation, row.input);
    ASSERT_EQ(outcome.hr, S_OK) << "row " << &row - rows;
    EXPECT_EQ(Shown(*outcome.result.get()), row.expected) << "row " << &row - rows;
  }
}

// A SOAPStruct as the handler delivers one: a struct object with varString,
// varInt and varFloat.
qxcom::ComPtr<StructObject> SoapStruct(std::u16string_view text, LONG number, float real) {
  qxcom::ComPtr<StructObject> object;
  EXPECT_EQ(CoCreateInstance(CLSID_StructObject, nullptr, CLSCTX_INPROC_SERVER, IID_StructObject,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  const std::pair<const char16_t*, qxcom::Variant> members[] = {
      {u"varString", BstrVariant(text)}, {u"varInt", LongVariant(number)}, {u"varFloat", FloatVariant(real)}};
  for (const auto& [name, value] : members) {
    VARIANT_BOOL stored = VARIANT_FALSE;
    if (object) object->AddMember(qxcom::Bstr(SysAllocString(name)).get(), nullptr, *value.get(), &stored);
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

// The wire shows a struct's members (tests/interop); only an automation
// caller sees that the objects themselves come back.
TEST_F(InteropEcho, StructsComeBackAsTheSameObjects) {
  qxcom::ComPtr<StructObject> one = SoapStruct(u"x", 1, 2.5f), two = SoapStruct(u"y", 2, 0.5f);
  ASSERT_TRUE(one && two);
  qxcom::Variant first = DispatchOf(one.get()), second = DispatchOf(two.get());
  CallOutcome outcome = Echo(u"echoStruct", first);
  ASSERT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(V_DISPATCH(outcome.result.get()), V_DISPATCH(first.get()));

  qxcom::Variant input = VariantArray({first.get(), second.get()});
  outcome = Echo(u"echoStructArray", input);
  ASSERT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(Describe(*outcome.result.get()), u"ARRAY[STRUCT{varString=BSTR:x; varInt=I4:1; varFloat=R4:2.5},"
                                             u"STRUCT{varString=BSTR:y; varInt=I4:2; varFloat=R4:0.5}]");
  LONG last = 1;
  qxcom::Variant item;
  ASSERT_EQ(SafeArrayGetElement(V_ARRAY(outcome.result.get()), &last, item.get()), S_OK);
  EXPECT_EQ(V_DISPATCH(item.get()), V_DISPATCH(second.get()));
}

// Argument counts and plain conversions are the service helper's
// (service_object_test); these are the service's own array and struct checks.
TEST_F(InteropEcho, ArgumentsThatDoNotFitAreRefused) {
  const qxcom::Variant x = BstrVariant(u"x");
  struct {
    const char16_t* operation;
    qxcom::Variant input;
    HRESULT expected;
  } rows[] = {
      {u"echoInteger", BstrVariant(u"99999999999"), DISP_E_OVERFLOW},
      {u"echoIntegerArray", VariantArray({x.get()}), DISP_E_TYPEMISMATCH},
      {u"echoStruct", LongVariant(1), DISP_E_TYPEMISMATCH},
      {u"echoStructArray", VariantArray({x.get()}), DISP_E_TYPEMISMATCH},
  };
  for (auto& row : rows) {
    CallOutcome outcome = Echo(row.operation, row.input);
    EXPECT_EQ(outcome.hr, row.expected) << "row " << &row - rows;
    EXPECT_EQ(outcome.argError, 0u) << "row " << &row - rows;
  }
}

}  // namespace
}  // namespace qxsoap::test
