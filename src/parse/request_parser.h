// The request parser: reads a request envelope into the message handler.
// After a parse it holds the records of the header blocks and of the Body
// (the method wrapper, its accessors and the independent elements) for the
// binding of the call, until the next parse.
//
// A parse that fails leaves nothing behind, whatever the dispatcher's
// stack held when it stopped: the records lie in the tree the failed parse
// releases, the envelope handlers go with the handler tree of that parse,
// and the skip handler is the dispatcher's own.
#ifndef QXSOAP_PARSE_REQUEST_PARSER_H_
#define QXSOAP_PARSE_REQUEST_PARSER_H_

#include <memory>
#include <span>

#include "parse/body_handler.h"
#include "parse/message_parser.h"

namespace qxsoap {

class RequestParser final : public MessageParser {
 public:
  // Reads the envelope; stores the version, the method's name and
  // namespace (for an rpc-style port), the header blocks and the Body with
  // its encodingStyle in the handler. Any fault leaves no records behind.
  void Parse(MessageHandler& handler, PortDescription& port) override;
  const AccessorHandler* RpcWrapper() const override;
  bool FaultFound() const override { return false; }
  std::optional<AccessorName> ResultName() const override { return std::nullopt; }

  // The header blocks of the last parse in document order.
  std::span<HeaderBlockHandler* const> HeaderBlocks() const;

 private:
  const IdRegistry* BodyIds() const override;
  const IdRegistry* HeaderIds() const override;

  std::unique_ptr<EnvelopeHandlers<BodyHandler>> handlers_;
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_REQUEST_PARSER_H_
