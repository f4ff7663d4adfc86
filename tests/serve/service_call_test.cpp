// The words CallService gives a failed call. The arguments' order and the out
// parameters written back are checked end to end by serve_test.py's Divide
// row, a service exception's description by its division by zero.
#include <gtest/gtest.h>

#include <functional>

#include "host/serve/service_call.h"
#include "support/dispatch_stub.h"

namespace qxsoap::host {
namespace {

// An IDispatch with one method, "Run", whose body the test supplies.
class FakeService final : public test::DispatchStub<IDispatch> {
 public:
  using Body = std::function<HRESULT(DISPPARAMS&, VARIANT*, EXCEPINFO*)>;
  explicit FakeService(Body body) : body_(std::move(body)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
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
