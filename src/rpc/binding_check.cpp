// The binding check: the port's SOAP binding must match the version of the
// message just read.
#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "rpc/rpc_dispatcher.h"
#include "xml/namespaces.h"

namespace qxsoap {

void RpcDispatcher::CheckBinding(MessageHandler& handler, PortDescription& port) {
  const std::optional<std::u16string> bindingNS =
      AskPortText([&](BSTR* ns, VARIANT_BOOL* found) { return port.GetBindingNS(ns, found); });
  if (!bindingNS) {
    RaiseFault(FaultKind::kReceiver, u"SOAP Binding not found in WSDL description for this port.",
               true);
  }
  const bool soap11 = handler.GetSOAPVersion() == 11;
  if (*bindingNS == (soap11 ? WSDL_SOAP11_NS : WSDL_SOAP12_NS)) return;
  RaiseFault(FaultKind::kVersionMismatch,
             soap11 ? u"SOAP 1.1 Binding not found in WSDL description for this port."
                    : u"SOAP 1.2 Binding not found in WSDL description for this port.",
             true);
}

}  // namespace qxsoap
