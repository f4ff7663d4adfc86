#include "parse/request_parser.h"

#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "parse/header_deserialization.h"

namespace qxsoap {

void RequestParser::Parse(MessageHandler& handler, PortDescription& port) {
  handlers_ = std::make_unique<EnvelopeHandlers<BodyHandler>>();
  try {
    ReadEnvelope(handler, handlers_->document);
    const BodyHandler& body = handlers_->body;
    if (body.wrapper && handler.IsRPCStyle()) {
      handler.SetMethodName(body.wrapper->LocalName());
      handler.SetMethodNS(body.wrapper->NamespaceUri());
    }
    ValueDecoder decoder(handler, port, *this);
    DeserializeRequestHeaders(handler, port, decoder, Tree(), HeaderBlocks());
    if (!handler.SetReceivedBody(Tree(), *body.element, body.encodingStyle)) {
      RaiseInternalError(false);
    }
  } catch (...) {
    handlers_.reset();
    throw;
  }
}

const AccessorHandler* RequestParser::RpcWrapper() const {
  return handlers_ ? handlers_->body.wrapper : nullptr;
}

std::span<HeaderBlockHandler* const> RequestParser::HeaderBlocks() const {
  return handlers_ ? handlers_->HeaderBlocks() : std::span<HeaderBlockHandler* const>();
}

const IdRegistry* RequestParser::BodyIds() const {
  return handlers_ ? &handlers_->body.accessors.ids : nullptr;
}

const IdRegistry* RequestParser::HeaderIds() const {
  return handlers_ ? &handlers_->HeaderIds() : nullptr;
}

}  // namespace qxsoap
