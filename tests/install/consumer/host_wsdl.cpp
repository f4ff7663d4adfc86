// A host that describes its port from a WSDL file with the installed host
// library and asks the description what the handler would ask. Exits 0
// when every answer is the WSDL's; otherwise prints the step that failed.
#include <qxcom.h>
#include <qxsoap/wsdl_port.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

const char kWsdl[] = R"(<definitions targetNamespace="urn:calc" xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/" xmlns:xsd="http://www.w3.org/2001/XMLSchema"
    xmlns:tns="urn:calc">
  <message name="addIn"><part name="a" type="xsd:int"/><part name="b" type="xsd:int"/></message>
  <message name="addOut"><part name="sum" type="xsd:int"/></message>
  <portType name="Calc"><operation name="add">
    <input message="tns:addIn"/><output message="tns:addOut"/></operation></portType>
  <binding name="CalcSoap" type="tns:Calc">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="add"><soap:operation soapAction="urn:calc#add"/>
      <input><soap:body use="encoded" namespace="urn:calc"/></input>
      <output><soap:body use="encoded" namespace="urn:calc"/></output></operation>
  </binding>
  <service name="Calc"><port name="CalcSoap" binding="tns:CalcSoap">
    <soap:address location="http://localhost:8080/calc"/></port></service>
</definitions>
)";

int Fail(const char* step) {
  std::fprintf(stderr, "host_wsdl: %s failed\n", step);
  return 1;
}

}  // namespace

int main() {
  char path[] = "/tmp/host_wsdl_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0 || write(fd, kWsdl, sizeof kWsdl - 1) != ssize_t(sizeof kWsdl - 1)) return Fail("writing the WSDL");
  close(fd);

  qxsoap::host::WsdlError error;
  PortDescription* port = qxsoap::host::LoadWsdlPort(path, nullptr, &error);
  unlink(path);
  if (!port) {
    std::fprintf(stderr, "host_wsdl: %s:%d: %s\n", error.file.c_str(), error.line, error.message.c_str());
    return 1;
  }
  BSTR op = SysAllocString(u"add");
  BSTR action = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  port->GetSOAPAction(op, &action, &found);
  const bool actionRight = found == VARIANT_TRUE && std::u16string(action) == u"urn:calc#add";
  SysFreeString(action);
  SysFreeString(op);
  port->Release();
  if (!actionRight) return Fail("GetSOAPAction");

  if (qxsoap::host::LoadWsdlPort("/nonexistent/x.wsdl", nullptr, &error) || error.message.empty()) {
    return Fail("refusing a missing file");
  }
  std::puts("host_wsdl: described the port from its WSDL");
  return 0;
}
