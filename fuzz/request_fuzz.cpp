// Fuzz target for the request side of the message handler. Each input is
// handed, as a host hands a request, to a handler with the production
// engines: SetBuffer, Deserialize, ProcessRPC when Deserialize succeeded,
// then everything a host reads back. It runs against a SOAP 1.1 rpc port
// and again against the same port with a SOAP 1.2 binding, and once more in
// the first handler to see that a second parse of the same bytes ends the
// same way. What the accepting handler bound is then serialized back, as
// the request and as a response echoing the first parameter, or the fault
// when it did not bind: each written message must read again. The same
// bytes are then read as the reply of a next hop by an intermediary's
// handler in its response phase, bound and passed back. Any broken
// invariant aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

#include "frame/message_handler.h"
#include "host/memory_port.h"
#include "qxcom/eventlog.h"
#include "rpc/production_engines.h"
#include "xml/namespaces.h"
#include "xml/xml_document.h"
#include "xml/xml_element.h"
#include <qxsoapmsg.h>

namespace {

using qxsoap::MessageHandler;
using qxsoap::host::MemoryPort;
using qxsoap::host::TypeName;
using qxsoap::host::Xsd;

constexpr std::u16string_view kEchoNS = u"urn:qxsoap:echo";
constexpr std::u16string_view kEchoAction = u"urn:qxsoap:echo#echoString";

// The echo service the seed requests call: echoString, echoBase64 (long
// binary values take the bulk decoder), echoStructs with a struct and an
// encoded array of it, so references and arrays in the seeds name declared
// types, and echoNode with a struct type that holds itself.
qxcom::ComPtr<MemoryPort> EchoPort(std::u16string_view bindingNS) {
  qxcom::ComPtr<MemoryPort> port = MemoryPort::Create();
  const TypeName point{u"Point", std::u16string(kEchoNS)};
  const TypeName points{u"ArrayOfPoint", std::u16string(kEchoNS)};
  port->Binding(bindingNS).Style(u"rpc");
  const TypeName node{u"Node", std::u16string(kEchoNS)};
  port->Struct(point).Member(u"x", Xsd(u"int")).Member(u"y", Xsd(u"int"));
  port->Struct(node).Member(u"value", Xsd(u"int")).Member(u"next", node);
  port->Array(points, point);
  port->Operation(u"echoString").Namespace(kEchoNS).Action(kEchoAction, true).Use(u"encoded")
      .In(u"inputString", Xsd(u"string")).Return(u"return", Xsd(u"string"));
  port->Operation(u"echoStructs").Namespace(kEchoNS).Action(kEchoAction).Use(u"encoded")
      .In(u"points", points).Return(u"return", points);
  port->Operation(u"echoNode").Namespace(kEchoNS).Action(kEchoAction).Use(u"encoded")
      .In(u"node", node).Return(u"return", node);
  port->Operation(u"echoBase64").Namespace(kEchoNS).Action(kEchoAction).Use(u"encoded")
      .In(u"inputBase64", Xsd(u"base64Binary")).Return(u"return", Xsd(u"base64Binary"));
  port->Operation(u"echoPoint").Namespace(kEchoNS).Action(kEchoAction).Use(u"literal")
      .In(u"point", point).Out(u"count", Xsd(u"int")).Return(u"return", point);
  port->HeaderType({u"Session", u"urn:qxsoap:session"}, Xsd(u"string"));
  port->HeaderType({u"Where", u"urn:qxsoap:session"}, point);
  return port;
}

void Check(bool holds) {
  if (!holds) std::abort();
}

// A fault a host reads: a code in the namespace of the message's version
// and a message that is not empty.
void CheckFaultReadable(const MessageHandler& handler) {
  Check(handler.IsSOAPFault());
  Check(!handler.GetSOAPFaultCode().empty());
  if (handler.GetSOAPVersion() == qxsoap::kSoap11) {
    Check(handler.GetSOAPFaultCodeNS() == qxsoap::SOAP11_ENV_NS);
    Check(!handler.GetSOAPFaultString().empty());
    return;
  }
  Check(handler.GetSOAPFaultCodeNS() == qxsoap::SOAP12_ENV_NS);
  std::u16string reason;
  Check(handler.GetSOAP12ReasonText(u"en", &reason));
  Check(!reason.empty());
}

// XML text the handler hands out must read again as a document on its own.
void CheckSelfContained(std::u16string_view xml) { Check(qxsoap::ParseFragment(xml) != nullptr); }

// Walks a header list and checks that it holds as many records as counted.
template <typename Record>
void CheckHeaderList(LONG count, const Record* (MessageHandler::*first)(LONG&) const,
                     const Record* (MessageHandler::*next)(LONG&) const,
                     const MessageHandler& handler, bool literal) {
  LONG position = 0, walked = 0;
  for (const Record* record = (handler.*first)(position); record;
       record = (handler.*next)(position)) {
    ++walked;
    Check(!record->name.empty());
    if constexpr (requires { record->literalXML; }) {
      if (literal) CheckSelfContained(record->literalXML.Text());
    }
  }
  Check(walked == count);
}

// What one run ends with, for comparing runs of the same bytes.
struct Outcome {
  bool deserialized = false;
  std::u16string faultCode, faultString, reason, methodName, methodNS, body;
  bool operator==(const Outcome&) const = default;
};

Outcome Deserialize(MessageHandler& handler) {
  Outcome outcome;
  outcome.deserialized = handler.Deserialize();
  if (!outcome.deserialized) {
    CheckFaultReadable(handler);
    outcome.faultCode = handler.GetSOAPFaultCode();
    outcome.faultString = handler.GetSOAPFaultString();
    handler.GetSOAP12ReasonText(u"en", &outcome.reason);
    return outcome;
  }
  Check(!handler.IsSOAPFault());
  Check(handler.GetBodyElemLiteral(&outcome.body));
  const std::unique_ptr<qxsoap::XmlElement> body = qxsoap::ParseFragment(outcome.body);
  Check(body != nullptr);
  Check(body->LocalName() == u"Body");
  outcome.methodName = handler.GetMethodName();
  outcome.methodNS = handler.GetMethodNS();
  CheckHeaderList(handler.GetNumHeaderElems(), &MessageHandler::GetFirstHeaderElem,
                  &MessageHandler::GetNextHeaderElem, handler, false);
  CheckHeaderList(handler.GetNumHeaderElemsLiteral(), &MessageHandler::GetFirstHeaderElemLiteral,
                  &MessageHandler::GetNextHeaderElemLiteral, handler, true);
  return outcome;
}

// ProcessRPC either binds or leaves a fault a host can read.
void ProcessRPC(MessageHandler& handler) {
  if (!handler.ProcessRPC()) CheckFaultReadable(handler);
}

// The handler's buffer after Serialize must read again as a document.
void CheckBufferParses(const MessageHandler& handler) {
  const auto bytes = handler.GetBuffer();
  qxsoap::XmlDocument document;
  try {
    document.Parse(bytes.data(), bytes.size(), nullptr);
  } catch (int) {
    std::abort();
  }
}

// Serialize writes a document, or fails with an empty buffer; a failure
// that recorded a fault is answered by the fault envelope next time.
void CheckWritten(MessageHandler& handler) {
  if (handler.Serialize()) return CheckBufferParses(handler);
  Check(handler.GetBuffer().empty());
  if (!handler.IsSOAPFault() || !handler.IsFaultRaisedHere()) return;
  Check(handler.Serialize());
  CheckBufferParses(handler);
}

// Writes what the handler bound, as the request it read and as the answer
// echoing the first parameter, and the fault when binding failed.
void Reply(MessageHandler& handler) {
  CheckWritten(handler);
  if (handler.IsSOAPFault()) return;
  handler.SetRequestPhase(false);
  LONG position = 0;
  if (const qxsoap::MethodParam* first = handler.GetFirstMethodParam(position)) {
    handler.SetReturnValue(first->content.get());
  }
  handler.SetReturnName(u"return");
  CheckWritten(handler);
}

void IgnoreEvent(const char*, WORD, WORD, DWORD, const char*, const void*, DWORD, void*) {}

struct Ports {
  // Faults are reported to the event log; the fuzzer keeps them off the
  // system log. The struct component is registered with the runtime, as a
  // host that registered the module has it, so structs are read too.
  Ports() {
    QxSetEventSink(&IgnoreEvent, nullptr);
    qxcom::ComPtr<IUnknown> factory;
    DWORD cookie = 0;
    Check(SUCCEEDED(DllGetClassObject(CLSID_StructObject, IID_IClassFactory,
                                      reinterpret_cast<void**>(factory.put()))) &&
          SUCCEEDED(CoRegisterClassObject(CLSID_StructObject, factory.get(), CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &cookie)));
  }
  qxcom::ComPtr<MemoryPort> soap11 = EchoPort(qxsoap::WSDL_SOAP11_NS);
  qxcom::ComPtr<MemoryPort> soap12 = EchoPort(qxsoap::WSDL_SOAP12_NS);
};

std::unique_ptr<MessageHandler> NewHandler(MemoryPort* port, const uint8_t* data, size_t size) {
  auto handler = std::make_unique<MessageHandler>(qxsoap::ProductionEngines());
  Check(handler->Initialize(u"Echo", u"EchoPort", u"", kEchoAction, u"", false, false, port));
  Check(handler->SetBuffer({data, size}));
  return handler;
}

// The bytes as the next hop's reply to a call of `operation` that an
// intermediary forwarded: read, bound, and written back for the sender.
// A fault read from the reply is the next hop's, in whatever words it
// chose; a fault of the intermediary's own is one a host can read.
void ReadAsReply(MemoryPort* port, std::u16string_view operation, const uint8_t* data, size_t size) {
  MessageHandler handler(qxsoap::ProductionEngines());
  Check(handler.Initialize(u"Echo", u"EchoPort", u"", kEchoAction, u"http://next.example/", false,
                           false, port));
  handler.SetMethodName(operation);
  handler.SetMethodNS(kEchoNS);
  handler.SetRequestPhase(false);
  Check(handler.SetBuffer({data, size}));
  const auto checkFault = [&] {
    if (handler.IsFaultRaisedHere()) {
      CheckFaultReadable(handler);
    } else {
      Check(handler.IsSOAPFault());
    }
  };
  if (!handler.Deserialize()) return checkFault();
  if (handler.IsSOAPFault()) {
    Check(!handler.IsFaultRaisedHere());
    Check(!handler.ProcessRPC());
  } else if (!handler.ProcessRPC()) {
    checkFault();
  }
  CheckWritten(handler);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Ports ports;
  const std::unique_ptr<MessageHandler> on11 = NewHandler(ports.soap11.get(), data, size);
  const Outcome first11 = Deserialize(*on11);
  if (first11.deserialized) ProcessRPC(*on11);

  const std::unique_ptr<MessageHandler> on12 = NewHandler(ports.soap12.get(), data, size);
  const Outcome first12 = Deserialize(*on12);
  if (first12.deserialized) ProcessRPC(*on12);

  // A message has one version, so at most one binding accepts it, and the
  // other one refuses it in the binding check, after a parse that read the
  // same body.
  Check(!(first11.deserialized && first12.deserialized));
  if (first11.deserialized || first12.deserialized) {
    const MessageHandler& refused = first11.deserialized ? *on12 : *on11;
    Check(refused.GetSOAPFaultCode() == u"VersionMismatch");
  }
  // Without a binding check to tell them apart, both refuse in the parse.
  if (!first11.deserialized && !first12.deserialized) Check(first11 == first12);

  // The parser starts afresh for each message: the same bytes again give
  // the same result in the handler that read them before.
  const Outcome again11 = [&] {
    on11->ClearSOAPFault();
    on11->ClearMethodParams();
    return Deserialize(*on11);
  }();
  Check(again11 == first11);
  if (again11.deserialized) ProcessRPC(*on11);

  // Whatever was read is written back, as a request, a response or a fault.
  if (first11.deserialized || first12.deserialized) Reply(first11.deserialized ? *on11 : *on12);

  constexpr std::u16string_view kOperations[] = {u"echoString", u"echoStructs", u"echoPoint",
                                                  u"echoNode"};
  const std::u16string_view operation = kOperations[size % std::size(kOperations)];
  ReadAsReply(ports.soap11.get(), operation, data, size);
  ReadAsReply(ports.soap12.get(), operation, data, size);
  return 0;
}
