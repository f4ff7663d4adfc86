#include <string>

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "model/fault_message.h"
#include "rpc/operation_lookup.h"
#include "xml/namespaces.h"

namespace qxsoap {

void CheckOperation(const MessageHandler& handler, PortDescription& port, BSTR operation) {
  const std::optional<std::u16string> operationNS = AskPortText(
      [&](BSTR* ns, VARIANT_BOOL* found) { return port.GetOperationNS(operation, ns, found); });
  if (operationNS && *operationNS == handler.GetMethodNS()) return;
  std::u16string message = FormatFaultMessage(u"Unrecognized Remote Procedure: '{%s}%s'.",
                                         {handler.GetMethodNS(), handler.GetMethodName()});
  RaiseFaultWithSubcode(handler.GetSOAPVersion(), FaultKind::kSender, u"ProcedureNotPresent",
                        SOAP12_RPC_NS, std::move(message), true);
}

namespace {

bool SoapActionRequired(const MessageHandler& handler, PortDescription& port, BSTR operation) {
  if (handler.GetSOAPVersion() == 11) return true;
  // Only an answer of exactly VARIANT_TRUE requires it; the found flag is
  // not consulted.
  VARIANT_BOOL required = VARIANT_FALSE;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = port.IsSOAPActionRequired(operation, &required, &found);
  return SUCCEEDED(hr) && required == VARIANT_TRUE;
}

}  // namespace

void CheckSoapAction(const MessageHandler& handler, PortDescription& port, BSTR operation) {
  if (!SoapActionRequired(handler, port, operation)) return;
  const std::optional<std::u16string> action = AskPortText(
      [&](BSTR* text, VARIANT_BOOL* found) { return port.GetSOAPAction(operation, text, found); });
  if (!action) {
    RaiseFault(FaultKind::kReceiver, u"SOAPAction not defined in WSDL document for this operation.",
               true);
  }
  if (*action == handler.GetSOAPAction()) return;
  RaiseFault(FaultKind::kSender,
             FormatFaultMessage(u"Unrecognized SOAPAction HTTP header: %s.", {handler.GetSOAPAction()}),
             false);
}

}  // namespace qxsoap
