// The parse handlers the dispatcher (parse_dispatcher.h) hands elements
// to. Each handler decides, at the start of a child element, which handler
// takes that child; a handler that does not care about a child returns
// null, and the child's whole subtree is skipped.
//
// Handlers receive views into the tree being read (names, attribute
// values, text): they stay valid as long as that tree does, so a handler
// keeps them without copying.
#ifndef QXSOAP_XML_ELEMENT_HANDLER_H_
#define QXSOAP_XML_ELEMENT_HANDLER_H_

#include <cstdint>
#include <string_view>

#include "xml/xml_element.h"

namespace qxsoap {

class ElementHandler {
 public:
  virtual ~ElementHandler() = default;

  // A child element starts: `element` has its names, its attributes (in
  // key order, `attributes`) and its namespace scope (`scope`, against
  // which QName-valued content is resolved), but no text or children yet.
  // Returns the handler for the child, or null to skip its subtree. The
  // returned handler stays owned by whoever made it.
  virtual ElementHandler* StartElement(std::u16string_view namespaceUri,
                                       std::u16string_view localName,
                                       std::u16string_view qualifiedName, XmlAttributes attributes,
                                       const NamespaceScope& scope, XmlElement& element) = 0;

  // The element this handler was pushed for ends; it now has all its text
  // and children. Returns true when the handler is finished and must be
  // popped.
  virtual bool EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                          std::u16string_view qualifiedName, XmlElement& element);

  // The element's whole text, once, just before EndElement; not called for
  // an element without text.
  virtual void Characters(std::u16string_view text);

  int32_t soapVersion = 11;  // 11 or 12
};

// The base of the SOAP parse handlers: it knows its element, and through it
// the element's names, and the encodingStyle in force.
class SoapElementHandler : public ElementHandler {
 public:
  // Skips every child.
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;
  // Keeps `element` and is finished.
  bool EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                  std::u16string_view qualifiedName, XmlElement& element) override;

  // Reads the element's attributes: by default its encodingStyle in the
  // envelope namespace of `soapVersion`, which replaces the inherited one.
  virtual void ProcessAttributes(XmlAttributes attributes, const NamespaceScope& scope);

  // The encodingStyle in force at the parent element.
  virtual void SetEncodingStyle(std::u16string_view inherited);

  // The element's names; empty before the handler has an element.
  std::u16string_view LocalName() const { return element ? element->LocalName() : u""; }
  std::u16string_view NamespaceUri() const { return element ? element->NamespaceUri() : u""; }

  std::u16string_view encodingStyle;
  // The element this handler reads: set by whoever hands the handler out
  // at the element's start, and again at its end. Not owned. The names are
  // read from it rather than copied, which keeps the accessor records that
  // derive from this class small.
  XmlElement* element = nullptr;
};

// Walks a subtree that no handler claimed: takes no child and is finished
// at the end of its element.
class SkipHandler final : public ElementHandler {
 public:
  ElementHandler* StartElement(std::u16string_view, std::u16string_view, std::u16string_view,
                               XmlAttributes, const NamespaceScope&, XmlElement&) override {
    return nullptr;
  }
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_ELEMENT_HANDLER_H_
