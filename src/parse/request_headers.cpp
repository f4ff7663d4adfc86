#include "parse/request_headers.h"

#include <string>

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_message.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"
#include "xml/xml_writer.h"

namespace qxsoap {
namespace {

bool IsEncodingStyle(std::u16string_view style) {
  return style.starts_with(SOAP11_ENC_NS) || style == SOAP12_ENC_NS;
}

// The encodingStyle a block is read in, and whether that makes it encoded:
// its own or inherited style when it has one, encoded when that is the SOAP
// encoding; else a style the port declares for the operation's input
// header, which makes it encoded whatever the style; else none, literal.
struct BlockStyle {
  std::u16string style;
  bool encoded;
};

BlockStyle StyleOf(PortDescription& port, BSTR operation, const HeaderBlockHandler& block) {
  if (!block.encodingStyle.empty()) {
    return {std::u16string(block.encodingStyle), IsEncodingStyle(block.encodingStyle)};
  }
  const qxcom::Bstr name = PortArgument(block.LocalName());
  const qxcom::Bstr ns = PortArgument(block.NamespaceUri());
  std::optional<std::u16string> declared = AskPortText([&](BSTR* style, VARIANT_BOOL* found) {
    return port.GetInputHeaderEncodingStyle(operation, name.get(), ns.get(), style, found);
  });
  if (!declared) return {{}, false};
  return {std::move(*declared), true};
}

std::optional<PortType> HeaderType(PortDescription& port, BSTR operation,
                                   const HeaderBlockHandler& block) {
  const qxcom::Bstr name = PortArgument(block.LocalName());
  const qxcom::Bstr ns = PortArgument(block.NamespaceUri());
  if (auto type = AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
        return port.GetInputHeaderType(operation, name.get(), ns.get(), typeName, typeNs, found);
      })) {
    return type;
  }
  return AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
    return port.GetHeaderType(name.get(), ns.get(), typeName, typeNs, found);
  });
}

}  // namespace

void DeserializeRequestHeaders(MessageHandler& handler, PortDescription& port,
                               ValueDecoder& decoder, std::span<HeaderBlockHandler* const> blocks) {
  const bool soap11 = handler.GetSOAPVersion() == 11;
  handler.AddRole(std::u16string(soap11 ? SOAP11_ACTOR_NEXT : SOAP12_ROLE_NEXT));
  const qxcom::Bstr operation = PortArgument(handler.GetMethodName());
  for (HeaderBlockHandler* block : blocks) {
    const auto [style, styleEncoded] = StyleOf(port, operation.get(), *block);
    bool encoded = styleEncoded;
    if (soap11 && style.starts_with(SOAP11_ENC_NS) && block->Attributes().root == u"0") {
      encoded = false;  // an independent value filed in the Header, not a block to read
    }
    const std::optional<PortType> type =
        encoded ? HeaderType(port, operation.get(), *block) : std::nullopt;
    if (type) {
      qxcom::Variant value;
      const std::u16string siteMessage =
          FormatFaultMessage(u"Header block: '%s' has invalid reference.", {block->LocalName()});
      const AccessorHandler* source = decoder.Follow(*block, siteMessage, value.get());
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
      std::u16string literal;
      WriteElement(*block->element, nullptr, literal);
      if (!handler.AddHeaderElemLiteral12(block->NamespaceUri(), block->LocalName(), literal,
                                          block->mustUnderstand, block->role, block->relay,
                                          style, true)) {
        RaiseInternalError(false);
      }
    }
  }
}

}  // namespace qxsoap
