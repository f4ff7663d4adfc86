// The response parser: reads the reply of the next hop into the handler
// of an intermediary. The envelope and header block rules are the
// request's; the Body holds a Fault or the RPC result wrapper. After a
// parse it holds the records of the header blocks, of the wrapper and of
// the independent elements for the binding of the result, until the next
// parse; a failed parse leaves nothing behind.
#ifndef QXSOAP_PARSE_RESPONSE_PARSER_H_
#define QXSOAP_PARSE_RESPONSE_PARSER_H_

#include <memory>

#include "parse/message_parser.h"
#include "parse/response_body_handler.h"

namespace qxsoap {

class ResponseParser final : public MessageParser {
 public:
  // Reads the envelope; stores the version, the header blocks (typed by
  // the operation's output headers, or its fault headers for a fault), a
  // received fault with its detail entries, and the Body with its
  // encodingStyle in the handler. The method's name and namespace stay
  // those of the request.
  void Parse(MessageHandler& handler, PortDescription& port) override;
  const AccessorHandler* RpcWrapper() const override;
  bool FaultFound() const override;
  std::optional<AccessorName> ResultName() const override;

 private:
  const IdRegistry* BodyIds() const override;
  const IdRegistry* HeaderIds() const override;

  std::unique_ptr<EnvelopeHandlers<ResponseBodyHandler>> handlers_;
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_RESPONSE_PARSER_H_
