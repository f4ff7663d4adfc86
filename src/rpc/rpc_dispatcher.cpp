#include "rpc/rpc_dispatcher.h"

#include <string>

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "rpc/operation_lookup.h"

namespace qxsoap {
namespace {

[[noreturn]] void RaiseNotAvailable(std::u16string_view what) {
  std::u16string message(what);
  message.append(u" is not available in this build.");
  RaiseFault(FaultKind::kReceiver, std::move(message), false);
}

}  // namespace

bool RpcDispatcher::BindCall(MessageHandler& handler, PortDescription& port) {
  if (!handler.IsRequestPhase()) RaiseNotAvailable(u"Binding a response from the next hop");
  const qxcom::Bstr operation = PortArgument(handler.GetMethodName());
  CheckOperation(handler, port, operation.get());
  CheckSoapAction(handler, port, operation.get());
  RaiseNotAvailable(u"Binding the parameters of a request");
}

bool RpcDispatcher::BindGetCall(MessageHandler&, PortDescription&, std::u16string_view,
                                std::u16string_view, std::u16string_view) {
  RaiseNotAvailable(u"Binding a GET call");
}

bool RpcDispatcher::CheckMustUnderstand(MessageHandler&) {
  RaiseNotAvailable(u"The mustUnderstand check");
}

}  // namespace qxsoap
