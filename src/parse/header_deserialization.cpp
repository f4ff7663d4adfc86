#include "parse/header_deserialization.h"

#include <memory>
#include <string>

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_message.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"
#include "xml/same_text.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

bool IsEncodingStyle(std::u16string_view style) {
  return StartsWithText(style, SOAP11_ENC_NS) || SameText(style, SOAP12_ENC_NS);
}

// The encodingStyle a block is read in, and whether that makes it encoded:
// its own or inherited style when it has one, encoded when that is the SOAP
// encoding; else a style the port declares for the operation's header,
// which makes it encoded whatever the style; else none, literal. The style
// is the block's view, or one in `declared`.
struct BlockStyle {
  std::u16string_view style;
  bool encoded;
};

BlockStyle StyleOf(PortDescription& port, HeaderMessage message, BSTR operation,
                   const HeaderBlockHandler& block, std::optional<std::u16string>& declared) {
  if (!block.encodingStyle.empty()) {
    return {block.encodingStyle, IsEncodingStyle(block.encodingStyle)};
  }
  declared =
      AskHeaderEncodingStyle(port, message, operation, {block.LocalName(), block.NamespaceUri()});
  if (!declared) return {{}, false};
  return {*declared, true};
}

void DeserializeHeaderBlocks(MessageHandler& handler, PortDescription& port, ValueDecoder& decoder,
                             const std::shared_ptr<const XmlElement>& tree,
                             std::span<HeaderBlockHandler* const> blocks, HeaderMessage message) {
  const bool soap11 = handler.GetSOAPVersion() == 11;
  const QueryArgument operation(handler.GetMethodName());
  for (HeaderBlockHandler* block : blocks) {
    std::optional<std::u16string> declared;
    const auto [style, styleEncoded] = StyleOf(port, message, operation.get(), *block, declared);
    bool encoded = styleEncoded;
    if (soap11 && StartsWithText(style, SOAP11_ENC_NS) && block->Attributes().root == u"0"sv) {
      encoded = false;  // an independent value filed in the Header, not a block to read
    }
    const std::optional<PortType> type =
        encoded ? AskHeaderType(port, message, operation.get(),
                                {block->LocalName(), block->NamespaceUri()})
                : std::nullopt;
    if (type) {
      qxcom::Variant value;
      const ValueDecoder::SiteMessage site{u"Header block: '%s' has invalid reference.",
                                           block->LocalName()};
      const AccessorHandler* source = decoder.Follow(*block, site, value.get()).source;
      if (source && IsBuiltInTypeNamespace(type->ns)) {
        decoder.SimpleEncoded(style, *source, type->name, value.get());
      } else if (source) {
        decoder.ComplexEncoded(style, *source, *block, source != block, type->Ref(), value.get());
      }
      if (handler.AddHeaderElem12(block->NamespaceUri(), block->LocalName(), value.get(),
                                  block->mustUnderstand, block->role, block->relay,
                                  true) != S_OK) {
        RaiseInternalError(false);
      }
    } else {
      if (!handler.AddReceivedHeaderElemLiteral(block->NamespaceUri(), block->LocalName(),
                                                ElementXml(tree, *block->element),
                                                block->mustUnderstand, block->role, block->relay,
                                                style)) {
        RaiseInternalError(false);
      }
    }
  }
}

}  // namespace

void DeserializeRequestHeaders(MessageHandler& handler, PortDescription& port,
                               ValueDecoder& decoder,
                               const std::shared_ptr<const XmlElement>& tree,
                               std::span<HeaderBlockHandler* const> blocks) {
  handler.AddRole(handler.GetSOAPVersion() == 11 ? SOAP11_ACTOR_NEXT : SOAP12_ROLE_NEXT);
  DeserializeHeaderBlocks(handler, port, decoder, tree, blocks, HeaderMessage::kInput);
}

void DeserializeResponseHeaders(MessageHandler& handler, PortDescription& port,
                                ValueDecoder& decoder,
                                const std::shared_ptr<const XmlElement>& tree,
                                std::span<HeaderBlockHandler* const> blocks, bool fault) {
  DeserializeHeaderBlocks(handler, port, decoder, tree, blocks,
                          fault ? HeaderMessage::kFault : HeaderMessage::kOutput);
}

}  // namespace qxsoap
