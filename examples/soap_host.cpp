// An example SOAP server host, written as a COM client of the handler:
// registers the module (in a registry file of its own, so nothing of the
// user's is touched), creates the handler by ProgID, and runs one exchange
// for a calculator service declared with the in-memory port description of
// host/memory_port.h: the request bytes in, what the handler read, the
// service's answer, and the bytes it wrote back. Exits non-zero when the
// handler cannot be registered, created or called; a SOAP fault is an
// answer, not a failure.
#include <qxsoapmsg.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "host/memory_port.h"

namespace {

using qxsoap::host::MemoryPort;
using qxsoap::host::Xsd;

constexpr std::u16string_view kServiceNS = u"urn:example:calculator";

constexpr std::string_view kRequest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"\n"
    "    xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    "    xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"\n"
    "    SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\n"
    "  <SOAP-ENV:Body>\n"
    "    <m:Add xmlns:m=\"urn:example:calculator\">\n"
    "      <a xsi:type=\"xsd:int\">2</a>\n"
    "      <b xsi:type=\"xsd:int\">40</b>\n"
    "    </m:Add>\n"
    "  </SOAP-ENV:Body>\n"
    "</SOAP-ENV:Envelope>\n";

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) out += unit < 0x80 ? char(unit) : '?';
  return out;
}

// Takes ownership of a BSTR out-parameter and returns its text.
std::string Take(BSTR text) {
  std::string out = Narrow({text ? text : u"", SysStringLen(text)});
  SysFreeString(text);
  return out;
}

bool Check(HRESULT hr, const char* step) {
  if (SUCCEEDED(hr)) return true;
  std::fprintf(stderr, "example_host: %s failed: 0x%08X\n", step, unsigned(hr));
  return false;
}

bool IsTrue(VARIANT_BOOL flag) { return flag == VARIANT_TRUE; }

VARIANT Bytes(std::string_view text) {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_ARRAY | VT_UI1;
  V_ARRAY(&value) = SafeArrayCreateVector(VT_UI1, 0, ULONG(text.size()));
  void* data = nullptr;
  SafeArrayAccessData(V_ARRAY(&value), &data);
  std::copy(text.begin(), text.end(), static_cast<char*>(data));
  SafeArrayUnaccessData(V_ARRAY(&value));
  return value;
}

// The calculator's port, as a host would read it from its WSDL: one SOAP 1.1
// RPC/encoded binding with operations of two int inputs and an int result.
qxcom::ComPtr<MemoryPort> CalculatorPort() {
  auto port = MemoryPort::Create();
  port->Binding(qxsoap::WSDL_SOAP11_NS).Style(u"rpc").Address(u"localhost", u"/calculator", 8080);
  for (auto [operation, result] : {std::pair{u"Add", u"sum"}, {u"Subtract", u"difference"}}) {
    port->Operation(operation)
        .Namespace(kServiceNS)
        .Action(std::u16string(kServiceNS) + u"#" + operation)
        .Use(u"encoded")
        .EncodingStyle(qxsoap::SOAP11_ENC_NS)
        .In(u"a", Xsd(u"int"))
        .In(u"b", Xsd(u"int"))
        .Return(result, Xsd(u"int"));
  }
  return port;
}

// Calls `visit(name, content)` for each parameter the handler read.
template <typename Visit>
void ForEachParam(Iqxsoapmsg2& handler, Visit visit) {
  BSTR ns = nullptr, name = nullptr;
  VARIANT content;
  VariantInit(&content);
  VARIANT_BOOL in = 0, out = 0, more = 0;
  LONG position = 0;
  for (handler.GetFirstMethodParam(&ns, &name, &content, &in, &out, &position, &more);
       IsTrue(more);
       handler.GetNextMethodParam(&ns, &name, &content, &in, &out, &position, &more)) {
    SysFreeString(ns);
    visit(Take(name), content);
    VariantClear(&content);
  }
}

// Prints the fault the handler recorded, when there is one; returns
// whether there was.
bool PrintFault(Iqxsoapmsg2& handler, const char* step) {
  VARIANT_BOOL fault = VARIANT_FALSE;
  handler.IsSOAPFault(&fault);
  if (!IsTrue(fault)) return false;
  BSTR code = nullptr, text = nullptr;
  handler.GetSOAPFaultCode(&code);
  handler.GetSOAPFaultString(&text);
  std::printf("%-8s a fault, %s: %s\n", step, Take(code).c_str(), Take(text).c_str());
  return true;
}

// Prints what Deserialize read: the version, the method and the Body.
void PrintMessage(Iqxsoapmsg2& handler) {
  if (PrintFault(handler, "read:")) return;
  BSTR ns = nullptr, name = nullptr, body = nullptr;
  LONG version = 0;
  VARIANT_BOOL hasBody = VARIANT_FALSE;
  handler.GetMethodNS(&ns);
  handler.GetMethodName(&name);
  handler.GetSOAPVersion(&version);
  handler.GetBodyElemLiteral(&body, &hasBody);
  std::printf("read:    SOAP %ld.%ld call of {%s}%s\n", long(version / 10), long(version % 10),
              Take(ns).c_str(), Take(name).c_str());
  std::printf("body:    %s\n", Take(body).c_str());
}

// Prints what ProcessRPC bound: the parameters, or the fault it raised.
void PrintCall(Iqxsoapmsg2& handler) {
  if (PrintFault(handler, "bound:")) return;
  ForEachParam(handler, [](const std::string& name, VARIANT& content) {
    VARIANT text;
    VariantInit(&text);
    VariantChangeType(&text, &content, 0, VT_BSTR);
    std::printf("bound:   parameter %s = %s\n", name.c_str(),
                V_VT(&text) == VT_BSTR ? Take(V_BSTR(&text)).c_str() : "(not text)");
  });
}

// The service: adds the two parameters it was given.
void Answer(Iqxsoapmsg2& handler) {
  LONG sum = 0;
  ForEachParam(handler, [&sum](const std::string&, VARIANT& content) {
    if (SUCCEEDED(VariantChangeType(&content, &content, 0, VT_I4))) sum += V_I4(&content);
  });
  VARIANT result;
  VariantInit(&result);
  V_VT(&result) = VT_I4;
  V_I4(&result) = sum;
  // The response carries the return value and the output parameters (this
  // service has none), and is written in the response phase.
  handler.ClearMethodParams();
  handler.SetReturnValue(result);
  handler.SetRequestPhase(VARIANT_FALSE);
  std::printf("service: returns %ld\n", long(sum));
}

bool RunExchange(Iqxsoapmsg2& handler) {
  const qxcom::ComPtr<MemoryPort> port = CalculatorPort();
  BSTR service = SysAllocString(u"Calculator"), portName = SysAllocString(u"CalculatorSoap"),
       action = SysAllocString(u"urn:example:calculator#Add");
  VARIANT_BOOL ok = VARIANT_FALSE;
  const HRESULT hr = handler.Initialize(service, portName, nullptr, action, nullptr,
                                        VARIANT_FALSE, VARIANT_FALSE, port.get(), &ok);
  SysFreeString(service);
  SysFreeString(portName);
  SysFreeString(action);
  if (!Check(hr, "Initialize") || !IsTrue(ok)) return false;

  BSTR address = nullptr;
  handler.GetPortAddress(&address);
  std::printf("port:    %s\n", Take(address).c_str());

  VARIANT request = Bytes(kRequest);
  handler.SetBuffer(request, &ok);
  VariantClear(&request);
  std::printf("request: %zu bytes\n", kRequest.size());

  VARIANT_BOOL parsed = VARIANT_FALSE, bound = VARIANT_FALSE;
  if (!Check(handler.Deserialize(&parsed), "Deserialize")) return false;
  PrintMessage(handler);
  if (IsTrue(parsed)) {
    if (!Check(handler.ProcessRPC(&bound), "ProcessRPC")) return false;
    PrintCall(handler);
  }
  if (IsTrue(bound)) Answer(handler);

  VARIANT_BOOL written = VARIANT_FALSE;
  if (!Check(handler.Serialize(&written), "Serialize")) return false;
  VARIANT response;
  VariantInit(&response);
  if (!Check(handler.GetBuffer(&response, &ok), "GetBuffer")) return false;
  void* data = nullptr;
  SafeArrayAccessData(V_ARRAY(&response), &data);
  const std::string_view bytes(static_cast<const char*>(data),
                               V_ARRAY(&response)->rgsabound[0].cElements);
  std::printf("wrote:   %zu bytes%s\n%.*s\n", bytes.size(),
              IsTrue(written) ? "" : " (Serialize produced no message)", int(bytes.size()),
              bytes.data());
  SafeArrayUnaccessData(V_ARRAY(&response));
  VariantClear(&response);
  return true;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/qxsoap-example-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::filesystem::path registry = std::filesystem::path(pattern) / "registry";
  setenv("QXCOM_REGISTRY", registry.c_str(), 1);

  bool ok = Check(DllRegisterServer(), "DllRegisterServer");
  CLSID clsid{};
  Iqxsoapmsg2* handler = nullptr;
  ok = ok && Check(CLSIDFromProgID(kQxsoapmsg2ProgId, &clsid), "CLSIDFromProgID");
  ok = ok && Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_Iqxsoapmsg2,
                                    reinterpret_cast<void**>(&handler)),
                   "CoCreateInstance");
  if (ok) {
    std::printf("created: %s through %s\n", Narrow(kQxsoapmsg2ProgId).c_str(),
                registry.c_str());
    ok = RunExchange(*handler);
    handler->Release();
  }
  ok = Check(DllUnregisterServer(), "DllUnregisterServer") && ok;
  std::filesystem::remove_all(pattern);
  return ok ? 0 : 1;
}
