// The common part of the request and response parsers: the reader run over
// the handler's buffer with the parse dispatcher, the faults that a
// malformed document and the envelope rules give, the message's version,
// and the tree of the last parse, which the records of that parse live in.
#ifndef QXSOAP_PARSE_MESSAGE_PARSER_H_
#define QXSOAP_PARSE_MESSAGE_PARSER_H_

#include <memory>
#include <span>

#include "decode/id_registry.h"
#include "frame/engines.h"
#include "parse/envelope_handlers.h"
#include "xml/parse_dispatcher.h"
#include "xml/xml_document.h"

namespace qxsoap {

// The handler tree of one parse, with the Body handler of the parser's
// kind. The header blocks' records live in the message's tree.
template <typename Body>
struct EnvelopeHandlers {
  Body body;
  DocumentHandler document{body};

  std::span<HeaderBlockHandler* const> HeaderBlocks() const {
    return document.envelope.header.blocks;
  }
  const IdRegistry& HeaderIds() const { return document.envelope.header.accessors.ids; }
};

class MessageParser : public MessageParserEngine {
 public:
  const AccessorHandler* ResolveReference(std::u16string_view href) const override;
  const XmlElement* ParsedEnvelope() const override { return tree_.get(); }

 protected:
  // Reads the handler's buffer with `document` as the root handler and
  // keeps the tree. A malformed document is the Sender fault "XML Parser:
  // Parse Error on Line %d." and leaves the handler's SOAP version alone; a
  // document without an Envelope is the Sender fault "SOAP Envelope not
  // found in message."; with any fault raised from the Envelope on, and on
  // success, the handler takes the version the document handler read.
  // Memory running out is the Receiver fault "Internal error.".
  void ReadEnvelope(MessageHandler& handler, DocumentHandler& document);

  // The tree of the last successful parse (null before and after a failed
  // one). Shared with what the handler keeps of the message, such as the
  // Body it writes back when asked for.
  const std::shared_ptr<const XmlElement>& Tree() const { return tree_; }

  // The id registries of the last parse, or null.
  virtual const IdRegistry* BodyIds() const = 0;
  virtual const IdRegistry* HeaderIds() const = 0;

 private:
  XmlDocument document_;
  ParseDispatcher dispatcher_;
  std::shared_ptr<const XmlElement> tree_;
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_MESSAGE_PARSER_H_
