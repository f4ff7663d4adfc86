// The Header element and its header blocks. Each child of Header is a block
// that must have a namespace-qualified name; its record reads the accessor
// attributes and the block's own SOAP attributes (mustUnderstand, actor or
// role, relay). The blocks are kept in document order for the header
// deserialization that follows the parse.
#ifndef QXSOAP_PARSE_HEADER_HANDLER_H_
#define QXSOAP_PARSE_HEADER_HANDLER_H_

#include <string_view>
#include <vector>

#include "decode/accessor_handler.h"

namespace qxsoap {

class HeaderBlockHandler final : public AccessorHandler {
 public:
  HeaderBlockHandler(XmlElement& element, int32_t soapVersion, AccessorContext& context)
      : AccessorHandler(element, soapVersion, context) {}

  // The accessor attributes, then mustUnderstand, actor (SOAP 1.1) or role
  // (SOAP 1.2) and relay (SOAP 1.2) in the envelope namespace of the
  // version; an invalid flag value is a Sender fault.
  void ProcessAttributes(XmlAttributes attributes, const NamespaceScope& scope) override;
  // Under SOAP 1.1 a block that inherited its encodingStyle states it on
  // its element, so that the block written back alone still says it.
  bool EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                  std::u16string_view qualifiedName, XmlElement& element) override;

  std::u16string_view id;  // the block's own id, empty for none
  bool mustUnderstand = false;
  bool relay = false;
  // The actor or role: empty for none and for the ultimate receiver, two
  // quotation marks for a role given as empty, the value otherwise.
  std::u16string_view role;
};

class HeaderHandler final : public SoapElementHandler {
 public:
  // A block for each child: an unqualified name is a Sender fault. Ids of
  // blocks are filed in `ids`; a repeated one keeps the first block.
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  // The blocks in document order; they live in the message's tree.
  std::vector<HeaderBlockHandler*> blocks;
  AccessorContext accessors{false};
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_HEADER_HANDLER_H_
