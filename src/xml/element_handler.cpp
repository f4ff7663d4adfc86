// The default behaviour of the parse handlers.
#include "xml/element_handler.h"

#include "xml/namespaces.h"

namespace qxsoap {

bool ElementHandler::EndElement(std::u16string_view, std::u16string_view, std::u16string_view,
                                XmlElement&) {
  return true;
}

void ElementHandler::Characters(std::u16string_view) {}

ElementHandler* SoapElementHandler::StartElement(std::u16string_view, std::u16string_view,
                                                 std::u16string_view, XmlAttributes,
                                                 const NamespaceScope&, XmlElement&) {
  return nullptr;
}

bool SoapElementHandler::EndElement(std::u16string_view, std::u16string_view, std::u16string_view,
                                    XmlElement& ended) {
  element = &ended;
  return true;
}

void SoapElementHandler::ProcessAttributes(XmlAttributes attributes, const NamespaceScope&) {
  const std::u16string_view envelope = soapVersion == 11 ? SOAP11_ENV_NS : SOAP12_ENV_NS;
  if (const XmlAttribute* style =
          FindAttribute(attributes, AttributeKeyParts{{envelope, u"encodingStyle", {}}})) {
    encodingStyle = style->Value();
  }
}

void SoapElementHandler::SetEncodingStyle(std::u16string_view inherited) {
  encodingStyle = inherited;
}

}  // namespace qxsoap
