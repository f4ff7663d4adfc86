// A service class served through its method table: names, argument order
// and count, out-arguments, and what a throwing method gives the caller.
#include "qxsoap/service_object.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "services/service_calls.h"

namespace qxsoap::test {
namespace {

using service::Arguments;
using service::ServiceError;

class Probe {
 public:
  // a - b: shows which rgvarg entry is which parameter.
  qxcom::Variant Subtract(Arguments& args) {
    return LongVariant(V_I4(args.As(0, VT_I4).get()) - V_I4(args.As(1, VT_I4).get()));
  }
  // Writes out-argument 2 (serve_test reads such arguments back).
  qxcom::Variant Divide(Arguments& args) {
    args.SetOut(2, *LongVariant(V_I4(args.As(0, VT_I4).get()) / V_I4(args.As(1, VT_I4).get())).get());
    return {};
  }
  qxcom::Variant Refuse(Arguments&) { throw ServiceError(E_INVALIDARG, u"Division by zero: b is 0."); }
  qxcom::Variant ThrowStd(Arguments&) { throw std::runtime_error("disk on fire: \xC3\xA9"); }
  qxcom::Variant ThrowBadAlloc(Arguments&) { throw std::bad_alloc(); }
  qxcom::Variant ThrowOther(Arguments&) { throw 42; }
};

constexpr service::Method<Probe> kProbeMethods[] = {
    {u"Subtract", {u"a", u"b"}, &Probe::Subtract},
    {u"Divide", {u"a", u"b", u"quotient"}, &Probe::Divide},
    {u"Refuse", {}, &Probe::Refuse},
    {u"ThrowStd", {}, &Probe::ThrowStd},
    {u"ThrowBadAlloc", {}, &Probe::ThrowBadAlloc},
    {u"ThrowOther", {}, &Probe::ThrowOther},
};

HRESULT CreateProbe(service::ModuleLock& lock, IUnknown* outer, REFIID iid, void** object) {
  return service::CreateServiceObject<Probe, kProbeMethods>(lock, u"test.Probe", outer, iid, object);
}

VARIANTARG Long(LONG value) { return *LongVariant(value).get(); }

class ServiceObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateProbe(lock_, nullptr, IID_IDispatch, reinterpret_cast<void**>(object_.put())), S_OK);
  }
  service::ModuleLock lock_;
  qxcom::ComPtr<IDispatch> object_;
};

TEST_F(ServiceObjectTest, NamesResolveInAnyLetterCase) {
  OLECHAR method[] = u"DIVIDE", b[] = u"B", quotient[] = u"Quotient", bogus[] = u"c";
  LPOLESTR names[] = {method, b, quotient, bogus};
  DISPID ids[4] = {};
  EXPECT_EQ(object_->GetIDsOfNames(IID_NULL, names, 4, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 2) << "DISPIDs follow the table from 1";
  EXPECT_EQ(ids[1], 1) << "a parameter's id is its position";
  EXPECT_EQ(ids[2], 2);
  EXPECT_EQ(ids[3], DISPID_UNKNOWN);
}

TEST_F(ServiceObjectTest, ArgumentsGoToTheirParameters) {
  qxcom::Variant a = LongVariant(10), b = LongVariant(3);
  CallOutcome outcome = CallByName(*object_.get(), u"subtract", {a.get(), b.get()});  // reverse order
  ASSERT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(Describe(*outcome.result.get()), u"I4:7");
  VARIANTARG args[] = {*b.get(), *a.get()};
  DISPID named[] = {1, 0};  // rgvarg[0] is b, rgvarg[1] is a
  DISPPARAMS params{args, named, 2, 2};
  qxcom::Variant result;
  ASSERT_EQ(object_->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr), S_OK);
  EXPECT_EQ(Describe(*result.get()), u"I4:7");
}

TEST_F(ServiceObjectTest, CallsThatDoNotFitAreRefusedWithTheirCode) {
  VARIANTARG missing;
  V_VT(&missing) = VT_ERROR;
  V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
  qxcom::Variant twelve = BstrVariant(u"twelve");
  const struct {
    const char* why;
    DISPID member;
    WORD flags;
    std::vector<VARIANTARG> args;  // rgvarg order
    HRESULT expected;
    UINT argError;  // ~0u: not written
  } rows[] = {
      {"DISPID 0 is no method", 0, DISPATCH_METHOD, {Long(1), Long(2)}, DISP_E_MEMBERNOTFOUND, ~0u},
      {"past the last method", 7, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND, ~0u},
      {"a property get is no method call", 1, DISPATCH_PROPERTYGET, {Long(1), Long(2)}, DISP_E_MEMBERNOTFOUND, ~0u},
      {"one argument short", 1, DISPATCH_METHOD, {Long(1)}, DISP_E_BADPARAMCOUNT, ~0u},
      {"one argument too many", 1, DISPATCH_METHOD, {Long(1), Long(2), Long(3)}, DISP_E_BADPARAMCOUNT, ~0u},
      {"a missing first argument is named by its rgvarg index", 1, DISPATCH_METHOD, {Long(1), missing},
       DISP_E_PARAMNOTOPTIONAL, 1},
      {"text that is no number names the second argument, rgvarg 0", 1, DISPATCH_METHOD, {*twelve.get(), Long(1)},
       DISP_E_TYPEMISMATCH, 0},
      {"an out-argument passed by value", 2, DISPATCH_METHOD, {Long(0), Long(2), Long(7)}, DISP_E_TYPEMISMATCH, 0},
  };
  for (const auto& row : rows) {
    std::vector<VARIANTARG> args = row.args;
    DISPPARAMS params{args.data(), nullptr, UINT(args.size()), 0};
    UINT argError = ~0u;
    qxcom::Variant result;
    EXPECT_EQ(object_->Invoke(row.member, IID_NULL, 0, row.flags, &params, result.get(), nullptr, &argError),
              row.expected)
        << row.why;
    EXPECT_EQ(argError, row.argError) << row.why;
  }
}

TEST_F(ServiceObjectTest, WhatAMethodThrowsBecomesAnException) {
  const struct {
    const char16_t* method;
    HRESULT scode;
    std::u16string description;
  } rows[] = {
      {u"Refuse", E_INVALIDARG, u"Division by zero: b is 0."},  // a service error keeps its code and text
      {u"ThrowStd", E_FAIL, u"disk on fire: \u00e9"},           // what() read as UTF-8
      {u"ThrowBadAlloc", E_OUTOFMEMORY, u"Out of memory."},
      {u"ThrowOther", E_UNEXPECTED, u"The service failed with an unknown exception."},
  };
  for (const auto& row : rows) {
    CallOutcome outcome = CallByName(*object_.get(), row.method, {});
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(outcome.scode, row.scode);
    EXPECT_EQ(outcome.description, row.description);
    EXPECT_EQ(outcome.source, u"test.Probe") << "the source is the class's ProgID";
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(object_->Invoke(4, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), DISP_E_EXCEPTION)
      << "without EXCEPINFO the call still fails as an exception";
}

TEST_F(ServiceObjectTest, EveryObjectHoldsAModuleLockAndCreationRefusesWhatItCannotBe) {
  qxcom::ComPtr<IDispatch> second;
  ASSERT_EQ(CreateProbe(lock_, nullptr, IID_IDispatch, reinterpret_cast<void**>(second.put())), S_OK);
  EXPECT_EQ(lock_.Count(), 2);
  void* object = &object;
  EXPECT_EQ(CreateProbe(lock_, object_.get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CreateProbe(lock_, nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(lock_.Count(), 2) << "the refused objects are gone again";
  second = nullptr;
  object_ = nullptr;
  EXPECT_EQ(lock_.Count(), 0);
}

}  // namespace
}  // namespace qxsoap::test
