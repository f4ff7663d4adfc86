// The records the element tree is made of: names (XmlName), element text
// (XmlText), attributes (XmlAttribute), and the attribute key every lookup
// builds. Elements are in xml_element.h.
//
// Their strings are XmlString, a std::pmr string: records of a parsed tree
// take their memory from the tree (see xml_element.h), records made
// anywhere else from the default resource. A copy of a record or string
// always takes the default resource, so a copy outlives the tree it was
// made from; a string moved out of a parsed tree does not.
//
// Threads: a tree belongs to one parser or one serialization, used by one
// thread at a time; nothing is locked.
#ifndef QXSOAP_XML_XML_NAME_H_
#define QXSOAP_XML_XML_NAME_H_

#include <memory_resource>
#include <string>
#include <string_view>

namespace qxsoap {

using XmlString = std::pmr::u16string;

// A name as read and as resolved.
class XmlName {
 public:
  // Empty names whose strings take their memory from `memory`.
  explicit XmlName(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : namespaceUri(memory), localName(memory), qualifiedName(memory) {}
  XmlName(std::u16string_view qualified, std::u16string_view uri, std::u16string_view local,
          std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : namespaceUri(uri, memory), localName(local, memory), qualifiedName(qualified, memory) {}
  XmlName(const XmlName&) = default;
  XmlName(XmlName&&) = default;
  XmlName& operator=(const XmlName&) = default;
  XmlName& operator=(XmlName&&) = default;
  virtual ~XmlName() = default;

  // True when the namespace URI followed by the local name is the same text
  // for both names. The two parts are compared run together, as the
  // attribute key is, so "ab"+"c" equals "a"+"bc".
  virtual bool NameEquals(const XmlName& other) const;

  XmlString namespaceUri;   // resolved URI; empty for no namespace
  XmlString localName;      // the name without its prefix
  XmlString qualifiedName;  // the name as written, prefix included
};

// The character data of an element: all its text, references and CDATA
// contents in document order, run together. Elements are destroyed through
// this base.
class XmlText {
 public:
  explicit XmlText(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : text(memory) {}
  virtual ~XmlText() = default;

  XmlString text;
};

// An attribute named `qualified` with no namespace or local name yet; all
// its strings take their memory from `memory` (a `attributeValue` from the
// same memory is moved, not copied).
class XmlAttribute : public XmlName {
 public:
  XmlAttribute(std::u16string_view qualified, XmlString attributeValue,
               std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : XmlName(qualified, {}, {}, memory),
        ownerLocalName(memory),
        ownerNamespaceUri(memory),
        value(std::move(attributeValue), memory) {}

  XmlString ownerLocalName;     // unprefixed attributes: the element's local name
  XmlString ownerNamespaceUri;  // unprefixed attributes: the element's namespace URI
  XmlString value;              // references already replaced
};

// The key an attribute is filed under: its namespace URI and local name run
// together without a separator. An unprefixed attribute has no namespace;
// it is filed under its element's namespace URI and local name followed by
// its own name (use the three-part form). The key takes its memory from
// `memory`.
inline XmlString AttributeKey(
    std::u16string_view namespaceUri, std::u16string_view localName,
    std::pmr::memory_resource* memory = std::pmr::get_default_resource()) {
  XmlString key(memory);
  key.reserve(namespaceUri.size() + localName.size());
  key.append(namespaceUri).append(localName);
  return key;
}
inline XmlString AttributeKey(
    std::u16string_view ownerNamespaceUri, std::u16string_view ownerLocalName,
    std::u16string_view localName,
    std::pmr::memory_resource* memory = std::pmr::get_default_resource()) {
  XmlString key(memory);
  key.reserve(ownerNamespaceUri.size() + ownerLocalName.size() + localName.size());
  key.append(ownerNamespaceUri).append(ownerLocalName).append(localName);
  return key;
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_NAME_H_
