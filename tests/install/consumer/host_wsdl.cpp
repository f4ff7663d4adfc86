// A host that describes its port from a WSDL file with the installed host
// library and asks the description what the handler would ask. Exits 0
// when every answer is the WSDL's; otherwise prints the step that failed.
//   host_wsdl HELLO_WSDL   (the service template's, as installed)
#include <qxcom.h>
#include <qxsoap/wsdl_port.h>

#include <cstdio>
#include <string>

static int Fail(const char* step) {
  std::fprintf(stderr, "host_wsdl: %s failed\n", step);
  return 1;
}

int main(int argc, char** argv) {
  qxsoap::host::WsdlError error;
  PortDescription* port = argc == 2 ? qxsoap::host::LoadWsdlPort(argv[1], nullptr, &error) : nullptr;
  if (!port) {
    std::fprintf(stderr, "host_wsdl: %s:%d: %s\n", error.file.c_str(), error.line, error.message.c_str());
    return 1;
  }
  BSTR op = SysAllocString(u"sayHello");
  BSTR action = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  port->GetSOAPAction(op, &action, &found);
  const bool actionRight = found == VARIANT_TRUE && std::u16string(action) == u"urn:example:hello#sayHello";
  SysFreeString(action);
  SysFreeString(op);
  port->Release();
  if (!actionRight) return Fail("GetSOAPAction");
  std::puts("host_wsdl: described the port from its WSDL");
  return 0;
}
