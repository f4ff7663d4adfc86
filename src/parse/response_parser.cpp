#include "parse/response_parser.h"

#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "parse/fault_detail.h"
#include "parse/header_deserialization.h"

namespace qxsoap {

void ResponseParser::Parse(MessageHandler& handler, PortDescription& port) {
  handlers_ = std::make_unique<EnvelopeHandlers<ResponseBodyHandler>>();
  try {
    ReadEnvelope(handler, handlers_->document);
    const ResponseBodyHandler& body = handlers_->body;
    ValueDecoder decoder(handler, port, *this);
    DeserializeResponseHeaders(handler, port, decoder, Tree(), handlers_->HeaderBlocks(),
                               body.FaultFound());
    if (body.fault) DeserializeFaultDetail(handler, port, decoder, *this, *body.fault);
    if (!handler.SetReceivedBody(Tree(), *body.element, body.encodingStyle)) {
      RaiseInternalError(false);
    }
  } catch (...) {
    handlers_.reset();
    throw;
  }
}

const AccessorHandler* ResponseParser::RpcWrapper() const {
  return handlers_ ? handlers_->body.rpcResult : nullptr;
}

bool ResponseParser::FaultFound() const { return handlers_ && handlers_->body.FaultFound(); }

std::optional<MessageParserEngine::AccessorName> ResponseParser::ResultName() const {
  const RpcResultHandler* wrapper = handlers_ ? handlers_->body.rpcResult : nullptr;
  if (!wrapper || !wrapper->resultSeen) return std::nullopt;
  return AccessorName{wrapper->resultName.localName, wrapper->resultName.namespaceUri};
}

const IdRegistry* ResponseParser::BodyIds() const {
  return handlers_ ? &handlers_->body.accessors.ids : nullptr;
}

const IdRegistry* ResponseParser::HeaderIds() const {
  return handlers_ ? &handlers_->HeaderIds() : nullptr;
}

}  // namespace qxsoap
