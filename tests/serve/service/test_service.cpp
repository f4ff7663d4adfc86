// The service of serve_test.py, ProgID qxsoap.TestService, with the
// operations of calc.wsdl. Divide fails on a zero divisor; Wait sleeps, as a
// request that stays in flight or a service that hangs.
#include <qxsoap/service_object.h>

#include <chrono>
#include <thread>

namespace {

using qxsoap::service::Arguments;

qxcom::Variant Long(LONG number) {
  qxcom::Variant value;
  V_VT(value.get()) = VT_I4;
  V_I4(value.get()) = number;
  return value;
}

class TestService {
 public:
  qxcom::Variant Echo(Arguments& args) { return args.As(0, VT_BSTR); }

  qxcom::Variant Divide(Arguments& args) {
    const LONG dividend = V_I4(args.As(0, VT_I4).get());
    const LONG divisor = V_I4(args.As(1, VT_I4).get());
    if (divisor == 0) throw qxsoap::service::ServiceError(E_FAIL, u"division by zero");
    args.SetOut(2, *Long(dividend % divisor).get());
    return Long(dividend / divisor);
  }

  qxcom::Variant Wait(Arguments& args) {
    qxcom::Variant milliseconds = args.As(0, VT_I4);
    std::this_thread::sleep_for(std::chrono::milliseconds(V_I4(milliseconds.get())));
    return milliseconds;
  }

  qxcom::Variant Increment(Arguments& args) {
    args.SetOut(0, *Long(V_I4(args.As(0, VT_I4).get()) + 1).get());
    return {};
  }

  qxcom::Variant Notify(Arguments&) { return {}; }
};

constexpr qxsoap::service::Method<TestService> kMethods[] = {
    {u"Echo", {u"text"}, &TestService::Echo},
    {u"Divide", {u"dividend", u"divisor", u"remainder"}, &TestService::Divide},
    {u"Wait", {u"milliseconds"}, &TestService::Wait},
    {u"Increment", {u"counter"}, &TestService::Increment},
    {u"Notify", {u"text"}, &TestService::Notify},
};

// {7A0C2E51-3B8D-4C6F-9E21-5D4B3A2F1C09}
constexpr CLSID kTestServiceClass = {0x7a0c2e51, 0x3b8d, 0x4c6f, {0x9e, 0x21, 0x5d, 0x4b, 0x3a, 0x2f, 0x1c, 0x09}};

constexpr qxsoap::service::ServiceClass kClasses[] = {
    {&kTestServiceClass, u"qxsoap.TestService", u"qxsoap.TestService.1", u"Server test service",
     &qxsoap::service::CreateServiceObject<TestService, kMethods>},
};

}  // namespace

QXSOAP_SERVICE_MODULE(kClasses)
