// The RPC side of an exchange: the binding check that Deserialize ends
// with; the operation lookup, SOAPAction check and parameter binding of
// ProcessRPC; the binding of calls made by HTTP GET; and the mustUnderstand
// check. In the response phase of an intermediary, ProcessRPC and
// ProcessRPCGet bind the reply of the next hop instead.
#ifndef QXSOAP_RPC_RPC_DISPATCHER_H_
#define QXSOAP_RPC_RPC_DISPATCHER_H_

#include "frame/engines.h"

namespace qxsoap {

class RpcDispatcher final : public RpcEngine {
 public:
  // The port must have a SOAP binding of the message's version: a Receiver
  // fault when it names none, VersionMismatch when it names the other one.
  void CheckBinding(MessageHandler& handler, PortDescription& port) override;
  // Request phase: the method must be an operation of the port, in its
  // namespace, and the SOAPAction must be the operation's (always under
  // SOAP 1.1, when the operation requires it under SOAP 1.2); then the
  // parameters are bound by the operation's input use. Response phase: the
  // reply's result is bound by the operation's output use, with no checks;
  // a reply that is a fault answers false and keeps the received fault.
  bool BindCall(MessageHandler& handler, PortDescription& port) override;
  bool BindGetCall(MessageHandler& handler, PortDescription& port, std::u16string_view svcURI,
                   std::u16string_view extraPath, std::u16string_view queryString) override;
  bool CheckMustUnderstand(MessageHandler& handler) override;
};

}  // namespace qxsoap

#endif  // QXSOAP_RPC_RPC_DISPATCHER_H_
