#include "rpc/rpc_dispatcher.h"

#include <string>

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "rpc/get_binding.h"
#include "rpc/must_understand.h"
#include "rpc/operation_lookup.h"
#include "rpc/request_binding.h"

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
  const MessageParserEngine* parser = handler.PhaseParser();
  if (!parser) RaiseNotAvailable(u"The request parser");
  const qxcom::Bstr operation = PortArgument(handler.GetMethodName());
  CheckOperation(handler, port, operation.get());
  CheckSoapAction(handler, port, operation.get());
  const std::optional<std::u16string> use = AskPortText(
      [&](BSTR* text, VARIANT_BOOL* found) { return port.GetInputUse(operation.get(), text, found); });
  BindRequest(handler, port, *parser, operation.get(), use == u"encoded");
  return true;
}

bool RpcDispatcher::BindGetCall(MessageHandler& handler, PortDescription& port,
                                std::u16string_view, std::u16string_view extraPath,
                                std::u16string_view queryString) {
  if (!handler.IsRequestPhase()) RaiseNotAvailable(u"Binding a response from the next hop");
  return BindGetRequest(handler, port, extraPath, queryString);
}

bool RpcDispatcher::CheckMustUnderstand(MessageHandler& handler) {
  return CheckHeaderBlocksUnderstood(handler);
}

}  // namespace qxsoap
