// The Body element: it chooses the method wrapper among its children and
// makes the records of the elements below it. Under SOAP 1.1 the wrapper is
// the first child not marked as an independent element (SOAP-ENC:root "0");
// the others are independent elements, multi-reference values that the
// wrapper's accessors refer to by id. Under SOAP 1.2 the first child is the
// wrapper and later children are not read.
#ifndef QXSOAP_PARSE_BODY_HANDLER_H_
#define QXSOAP_PARSE_BODY_HANDLER_H_

#include "decode/accessor_handler.h"

namespace qxsoap {

class BodyHandler final : public SoapElementHandler {
 public:
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  // The method wrapper's record, or null; it lives in the message's tree.
  AccessorHandler* wrapper = nullptr;
  AccessorContext accessors{true};
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_BODY_HANDLER_H_
