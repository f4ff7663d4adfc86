// Calling a service by name: the order Invoke receives the arguments in, the
// out parameters written back through their references, and the words of a
// failure.
#include <gtest/gtest.h>

#include <functional>

#include "host/serve/service_call.h"

namespace qxsoap::host {
namespace {

// An IDispatch with one method, "Run", whose body the test supplies.
class FakeService final : public IDispatch {
 public:
  using Body = std::function<HRESULT(DISPPARAMS&, VARIANT*, EXCEPINFO*)>;
  explicit FakeService(Body body) : body_(std::move(body)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    if (std::u16string_view(names[0]) != u"Run") return DISP_E_UNKNOWNNAME;
    ids[0] = 7;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (id != 7 || flags != DISPATCH_METHOD) return DISP_E_MEMBERNOTFOUND;
    return body_(*params, result, exception);
  }

 private:
  Body body_;
};

ServiceArgument IntArgument(std::u16string name, LONG value, bool out) {
  ServiceArgument argument;
  argument.name = std::move(name);
  V_VT(argument.value.get()) = VT_I4;
  V_I4(argument.value.get()) = value;
  argument.in = true;
  argument.out = out;
  return argument;
}

TEST(CallService, ArgumentsInOrderAndOutParametersWrittenBack) {
  // Run(a, [in, out] b): b becomes a - b, the result a * 10 + b.
  FakeService service([](DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
    if (params.cArgs != 2 || V_VT(&params.rgvarg[1]) != VT_I4) return DISP_E_BADPARAMCOUNT;
    if (V_VT(&params.rgvarg[0]) != (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
    const LONG a = V_I4(&params.rgvarg[1]);  // Invoke takes the last argument first
    VARIANT* b = V_VARIANTREF(&params.rgvarg[0]);
    V_VT(result) = VT_I4;
    V_I4(result) = a * 10 + V_I4(b);
    V_I4(b) = a - V_I4(b);
    return S_OK;
  });
  std::vector<ServiceArgument> arguments;
  arguments.push_back(IntArgument(u"a", 7, false));
  arguments.push_back(IntArgument(u"b", 2, true));
  const ServiceOutcome outcome = CallService(service, u"Run", arguments);
  ASSERT_TRUE(outcome.succeeded) << std::string(outcome.failure.begin(), outcome.failure.end());
  EXPECT_EQ(V_I4(outcome.result.get()), 72);
  EXPECT_EQ(V_I4(arguments[1].value.get()), 5) << "the out parameter is written through its reference";
  EXPECT_EQ(V_I4(arguments[0].value.get()), 7) << "an in parameter is lent, not changed";
}

HRESULT FillLater(EXCEPINFO* exception) {
  exception->bstrDescription = SysAllocString(u"filled in late");
  return S_OK;
}

struct FailureRow {
  const char* why;
  std::u16string_view method;
  FakeService::Body body;
  std::u16string expected;
};

TEST(CallService, FailuresInTheServicesWords) {
  const FailureRow rows[] = {
      {"an operation the service does not have", u"Other", nullptr, u"the service has no operation Other"},
      {"an exception with a description", u"Run",
       [](DISPPARAMS&, VARIANT*, EXCEPINFO* exception) {
         exception->bstrSource = SysAllocString(u"svc");
         exception->bstrDescription = SysAllocString(u"out of coffee");
         return DISP_E_EXCEPTION;
       },
       u"out of coffee"},
      {"an exception whose description is filled in on demand", u"Run",
       [](DISPPARAMS&, VARIANT*, EXCEPINFO* exception) {
         exception->pfnDeferredFillIn = &FillLater;
         return DISP_E_EXCEPTION;
       },
       u"filled in late"},
      {"an exception with only a code", u"Run",
       [](DISPPARAMS&, VARIANT*, EXCEPINFO* exception) {
         exception->scode = E_ACCESSDENIED;
         return DISP_E_EXCEPTION;
       },
       u"the service failed with HRESULT 0x80070005"},
      {"a failed HRESULT without an exception", u"Run", [](DISPPARAMS&, VARIANT*, EXCEPINFO*) { return E_FAIL; },
       u"the service failed with HRESULT 0x80004005"},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.why);
    FakeService service(row.body);
    std::vector<ServiceArgument> none;
    const ServiceOutcome outcome = CallService(service, std::u16string(row.method), none);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.failure, row.expected);
  }
}

}  // namespace
}  // namespace qxsoap::host
