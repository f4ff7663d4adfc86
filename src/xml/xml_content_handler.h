// The events the reader reports while it builds the element tree. For one
// element, in order: prefix-mapping starts, StartElement, the events of its
// content, Characters with the whole text (when not empty), EndElement,
// prefix-mapping ends. StartDocument comes before the root's events,
// EndDocument after the epilog, ParseError just before a parse fails.
// A handler may throw to end the parse; the exception passes through the
// reader unchanged.
#ifndef QXSOAP_XML_XML_CONTENT_HANDLER_H_
#define QXSOAP_XML_XML_CONTENT_HANDLER_H_

#include <string_view>

#include "xml/xml_element.h"

namespace qxsoap {

class XmlContentHandler {
 public:
  virtual ~XmlContentHandler() = default;
  virtual void StartDocument() = 0;
  virtual void EndDocument() = 0;
  // `element` is complete but for its text and children: names resolved,
  // attributes (xmlns declarations removed) in attribute-key order,
  // namespace scope set. `attributes` are the element's.
  virtual void StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                            std::u16string_view qualifiedName, XmlAttributes attributes,
                            XmlElement& element) = 0;
  // `element` now has all its text and children.
  virtual void EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                          std::u16string_view qualifiedName, XmlElement& element) = 0;
  virtual void Characters(std::u16string_view text) = 0;
  virtual void ParseError(int line) = 0;
  // The views are valid during the call only.
  virtual void ProcessingInstruction(std::u16string_view target, std::u16string_view data) = 0;
  virtual void StartPrefixMapping(std::u16string_view prefix, std::u16string_view uri) = 0;
  virtual void EndPrefixMapping(std::u16string_view prefix) = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_CONTENT_HANDLER_H_
