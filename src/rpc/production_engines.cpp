#include "rpc/production_engines.h"

#include "encode/message_serializer.h"
#include "parse/request_parser.h"
#include "parse/response_parser.h"
#include "rpc/rpc_dispatcher.h"

namespace qxsoap {

MessageHandler::Engines ProductionEngines() {
  MessageHandler::Engines engines;
  engines.requestParser = std::make_unique<RequestParser>();
  engines.responseParser = std::make_unique<ResponseParser>();
  engines.rpc = std::make_unique<RpcDispatcher>();
  engines.serializer = std::make_unique<MessageSerializer>();
  return engines;
}

}  // namespace qxsoap
