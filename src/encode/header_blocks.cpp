#include "encode/header_blocks.h"

#include <optional>
#include <string>

#include "decode/port_queries.h"
#include "encode/value_writer.h"
#include "frame/message_handler.h"
#include "model/soap_version.h"
#include "xml/namespaces.h"
#include "xml/xml_document.h"
#include "xml/xml_element.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

// The port's answers for one typed block: its type and encoding style.
struct BlockTyping {
  PortType type;
  std::u16string style;
};

std::optional<BlockTyping> TypeBlock(const HeaderElem& block, const MessageHandler& handler,
                                     PortDescription& port) {
  const QueryArgument operation(handler.GetMethodName());
  const HeaderMessage message = handler.IsRequestPhase() ? HeaderMessage::kInput
                                : handler.IsSOAPFault()  ? HeaderMessage::kFault
                                                         : HeaderMessage::kOutput;
  const TypeRef name{block.name, block.namespaceURI};
  std::optional<PortType> type = AskHeaderType(port, message, operation.get(), name);
  if (!type) return std::nullopt;
  std::optional<std::u16string> style = AskHeaderEncodingStyle(port, message, operation.get(), name);
  if (!style) style = std::u16string(EncodingNamespace(handler.GetSOAPVersion()));
  return BlockTyping{std::move(*type), std::move(*style)};
}

bool AppendTypedBlock(XmlElement& header, const HeaderElem& block, MessageHandler& handler,
                      PortDescription& port, ValueWriter& writer) {
  const std::optional<BlockTyping> typing = TypeBlock(block, handler, port);
  if (!typing) return false;
  const LONG version = handler.GetSOAPVersion();
  const std::u16string_view envelopeNS = EnvelopeNamespace(version);
  XmlElement& element = header.AddChild(u"h:" + block.name, block.namespaceURI, block.name);
  element.DeclareNamespace(u"h"sv, block.namespaceURI);
  element.SetQualifiedAttribute(u"SOAP-ENV:encodingStyle"sv, envelopeNS, typing->style);
  if (!block.actorURI.empty()) {
    element.SetQualifiedAttribute(version == 11 ? u"SOAP-ENV:actor"sv : u"SOAP-ENV:role"sv, envelopeNS,
                                  block.actorURI);
  }
  if (block.mustUnderstand) {
    element.SetQualifiedAttribute(u"SOAP-ENV:mustUnderstand"sv, envelopeNS,
                                  version == 11 ? u"1"sv : u"true"sv);
  }
  if (block.relay && version != 11) {
    element.SetQualifiedAttribute(u"SOAP-ENV:relay"sv, envelopeNS, u"true"sv);
  }
  return writer.WriteEncoded(element, typing->type.Ref(), *block.content.get(), typing->style);
}

}  // namespace

bool AppendHeaderBlocks(XmlElement& header, const HeaderLists& blocks, MessageHandler& handler,
                        PortDescription& port, ValueWriter& writer) {
  for (const auto& block : blocks.literal) {
    std::unique_ptr<XmlElement> element = ParseFragment(block->literalXML.Text());
    if (!element) return false;
    header.AppendChild(std::move(element));
  }
  for (const auto& block : blocks.typed) {
    if (!AppendTypedBlock(header, *block, handler, port, writer)) return false;
  }
  return true;
}

}  // namespace qxsoap
