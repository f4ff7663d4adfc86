// The entry points that run the engines of an exchange, and the recording of
// the faults they raise.
#include <cstdlib>

#include "frame/fault_event.h"
#include "frame/message_handler.h"
#include "xml/xml_document.h"

namespace qxsoap {
namespace {

// The port description the engines work against. Without a successful
// Initialize there is none, and the entry point fails with a fault rather
// than letting an engine guess.
PortDescription& RequirePort(const qxcom::ComPtr<PortDescription>& port) {
  if (!port) {
    RaiseFault(FaultKind::kReceiver, u"No port description: Initialize has not succeeded.", false);
  }
  return *port.get();
}

[[noreturn]] void RaiseMissingEngine(std::u16string_view engine) {
  RaiseFault(FaultKind::kReceiver, std::u16string(engine) + u" is not available in this build.",
             false);
}

template <typename Engine>
Engine& Require(const std::unique_ptr<Engine>& engine, std::u16string_view name) {
  if (!engine) RaiseMissingEngine(name);
  return *engine;
}

}  // namespace

template <typename Work>
bool MessageHandler::Guarded(FaultForm form, Work&& work) {
  try {
    return work();
  } catch (QXSOAPFault* thrown) {
    std::unique_ptr<QXSOAPFault> fault(thrown);  // the catcher owns the record
    RecordCaughtFault(*fault, form);
    return false;
  }
}

bool MessageHandler::Deserialize() {
  fault_.faultRaisedHere = true;
  return Guarded(FaultForm::kMessageVersion, [&] {
    PortDescription& port = RequirePort(portDescription_);
    MessageParserEngine& parser =
        requestPhase_ ? Require(engines_.requestParser, u"The request parser")
                      : Require(engines_.responseParser, u"The response parser");
    RpcEngine& rpc = Require(engines_.rpc, u"The binding check");
    parser.Parse(*this, port);
    rpc.CheckBinding(*this, port);
    return true;
  });
}

bool MessageHandler::ProcessRPC() {
  return Guarded(FaultForm::kMessageVersion, [&] {
    PortDescription& port = RequirePort(portDescription_);
    return Require(engines_.rpc, u"RPC binding").BindCall(*this, port);
  });
}

bool MessageHandler::ProcessRPCGet(std::u16string_view svcURI, std::u16string_view extraPath,
                                   std::u16string_view queryString) {
  return Guarded(FaultForm::kSoap12, [&] {
    PortDescription& port = RequirePort(portDescription_);
    return Require(engines_.rpc, u"GET binding")
        .BindGetCall(*this, port, svcURI, extraPath, queryString);
  });
}

bool MessageHandler::CheckMustUnderstand() {
  return Guarded(FaultForm::kMessageVersion, [&] {
    return Require(engines_.rpc, u"The mustUnderstand check").CheckMustUnderstand(*this);
  });
}

bool MessageHandler::Serialize() {
  EmptyBuffer();
  // A fault raised while writing values is recorded like one raised while
  // reading, so the host can still answer with a fault message.
  return Guarded(FaultForm::kMessageVersion, [&] {
    PortDescription& port = RequirePort(portDescription_);
    XmlDocument document;
    document.SetRoot(Require(engines_.serializer, u"The serializer").BuildMessage(*this, port));
    if (!document.Root()) return false;
    uint8_t* text = nullptr;
    const size_t length = document.Write(&text);
    if (!text) return false;
    if (AdoptBuffer(text, length)) return true;
    std::free(text);
    return false;
  });
}

void MessageHandler::RecordCaughtFault(const QXSOAPFault& fault, FaultForm form) {
  const LONG version = form == FaultForm::kSoap12 ? kSoap12 : soapVersion_;
  const FaultCode code = LookUpFaultCode(fault.kind, version);
  if (version == kSoap11) {
    fault_.SetFault11(code.name, code.ns, fault.message, u"", fault.needDetail);
  } else {
    fault_.SetFault12(code.name, code.ns, fault.subcode, fault.subcodeNS, {{u"en", fault.message}},
                      u"", fault.needDetail);
  }
  ReportFaultEvent(fault.message);
}

}  // namespace qxsoap
