// A one-operation SOAP service: sayHello(name) answers "Hello, <name>!".
// The class is plain C++; the method table names each operation and its
// parameters, and QXSOAP_SERVICE_MODULE makes this file a module that
// `qxsoap register` registers and `qxsoap serve --service` creates.
#include <qxsoap/service_object.h>

#include <new>
#include <string>

namespace {

using qxsoap::service::Arguments;

class HelloService {
 public:
  // An empty name fails the call: serve answers it with a SOAP fault that
  // carries this text.
  qxcom::Variant SayHello(Arguments& args) {
    qxcom::Variant name = args.As(0, VT_BSTR);  // converted to a string
    const BSTR text = V_BSTR(name.get());
    if (SysStringLen(text) == 0) {
      throw qxsoap::service::ServiceError(E_INVALIDARG, u"Whom should I greet? name is empty.");
    }
    const std::u16string greeting = u"Hello, " + std::u16string(text, SysStringLen(text)) + u"!";
    qxcom::Variant result;
    V_VT(result.get()) = VT_BSTR;
    V_BSTR(result.get()) = SysAllocStringLen(greeting.data(), UINT(greeting.size()));
    if (!V_BSTR(result.get())) throw std::bad_alloc();
    return result;
  }
};

// Operation name, parameter names in order, member function.
constexpr qxsoap::service::Method<HelloService> kMethods[] = {
    {u"sayHello", {u"name"}, &HelloService::SayHello},
};

// Make a GUID of your own for your class (uuidgen).
// {3F2C8A41-6B1D-4E7A-9C55-2D8E0F4B7A13}
constexpr CLSID kHelloServiceClass = {
    0x3F2C8A41, 0x6B1D, 0x4E7A, {0x9C, 0x55, 0x2D, 0x8E, 0x0F, 0x4B, 0x7A, 0x13}};

constexpr qxsoap::service::ServiceClass kClasses[] = {
    {&kHelloServiceClass, u"example.HelloService", u"example.HelloService.1",
     u"Hello service", &qxsoap::service::CreateServiceObject<HelloService, kMethods>},
};

}  // namespace

QXSOAP_SERVICE_MODULE(kClasses)
