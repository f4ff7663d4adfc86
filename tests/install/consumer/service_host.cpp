// A host of the service template, as installed: describes its port from
// the WSDL with the installed host library, then creates the registered
// service by ProgID and calls sayHello by name, as `qxsoap serve` does.
// Exits 0 when every answer is the one expected; otherwise prints the step.
//   service_host HELLO_WSDL
#include <qxcom.h>
#include <qxsoap/wsdl_port.h>

#include <cstdio>
#include <string>

static int Fail(const char* step, HRESULT hr) {
  std::fprintf(stderr, "service_host: %s failed: 0x%08X\n", step, unsigned(hr));
  return 1;
}

int main(int argc, char** argv) {
  qxsoap::host::WsdlError error;
  PortDescription* port = argc == 2 ? qxsoap::host::LoadWsdlPort(argv[1], nullptr, &error) : nullptr;
  if (!port) {
    std::fprintf(stderr, "service_host: %s:%d: %s\n", error.file.c_str(), error.line, error.message.c_str());
    return 1;
  }
  std::u16string method = u"sayHello";
  BSTR op = SysAllocString(method.c_str()), action = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  port->GetSOAPAction(op, &action, &found);
  const bool actionRight = found == VARIANT_TRUE && std::u16string(action) == u"urn:example:hello#sayHello";
  SysFreeString(action);
  SysFreeString(op);
  port->Release();
  if (!actionRight) return Fail("GetSOAPAction", E_FAIL);

  CLSID clsid;
  qxcom::ComPtr<IDispatch> service;
  HRESULT hr = CLSIDFromProgID(u"example.HelloService", &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(service.put()));
  }
  if (FAILED(hr)) return Fail("creating the service", hr);
  LPOLESTR names[] = {method.data()};
  DISPID id = 0;
  if (hr = service->GetIDsOfNames(IID_NULL, names, 1, 0, &id); FAILED(hr)) return Fail("GetIDsOfNames", hr);
  qxcom::Variant argument, result;
  V_VT(argument.get()) = VT_BSTR;
  V_BSTR(argument.get()) = SysAllocString(u"W\u00f6rld");
  DISPPARAMS params{argument.get(), nullptr, 1, 0};
  hr = service->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr);
  if (FAILED(hr)) return Fail("Invoke", hr);
  const BSTR got = V_VT(result.get()) == VT_BSTR ? V_BSTR(result.get()) : nullptr;
  if (!got || std::u16string(got, SysStringLen(got)) != u"Hello, W\u00f6rld!") return Fail("the result", E_FAIL);
  std::puts("service_host: described the port and called the service");
  return 0;
}
