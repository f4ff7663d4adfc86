#include "rpc/rpc_dispatcher.h"

#include <string>

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "rpc/get_binding.h"
#include "rpc/must_understand.h"
#include "rpc/operation_lookup.h"
#include "rpc/request_binding.h"
#include "rpc/response_binding.h"

namespace qxsoap {
namespace {

const MessageParserEngine& PhaseParser(const MessageHandler& handler) {
  const MessageParserEngine* parser = handler.PhaseParser();
  if (!parser) {
    RaiseFault(FaultKind::kReceiver,
               handler.IsRequestPhase() ? u"The request parser is not available in this build."
                                        : u"The response parser is not available in this build.",
               false);
  }
  return *parser;
}

bool IsEncoded(PortDescription& port, BSTR operation, bool input) {
  const std::optional<std::u16string> use = AskPortText([&](BSTR* text, VARIANT_BOOL* found) {
    return input ? port.GetInputUse(operation, text, found) : port.GetOutputUse(operation, text, found);
  });
  return use == u"encoded";
}

// The reply of the next hop, bound by the operation's output use. A reply
// that is a fault has no result to bind: its fault is the handler's
// already, and binding answers false without replacing it with a fault of
// its own.
bool BindReply(MessageHandler& handler, PortDescription& port) {
  const MessageParserEngine& parser = PhaseParser(handler);
  if (parser.FaultFound()) return false;
  const QueryArgument operation(handler.GetMethodName());
  BindResponse(handler, port, parser, operation.get(), IsEncoded(port, operation.get(), false));
  return true;
}

}  // namespace

bool RpcDispatcher::BindCall(MessageHandler& handler, PortDescription& port) {
  if (!handler.IsRequestPhase()) return BindReply(handler, port);
  const MessageParserEngine& parser = PhaseParser(handler);
  const QueryArgument operation(handler.GetMethodName());
  CheckOperation(handler, port, operation.get());
  CheckSoapAction(handler, port, operation.get());
  BindRequest(handler, port, parser, operation.get(), IsEncoded(port, operation.get(), true));
  return true;
}

bool RpcDispatcher::BindGetCall(MessageHandler& handler, PortDescription& port,
                                std::u16string_view, std::u16string_view extraPath,
                                std::u16string_view queryString) {
  if (!handler.IsRequestPhase()) return BindReply(handler, port);
  return BindGetRequest(handler, port, extraPath, queryString);
}

bool RpcDispatcher::CheckMustUnderstand(MessageHandler& handler) {
  return CheckHeaderBlocksUnderstood(handler);
}

}  // namespace qxsoap
