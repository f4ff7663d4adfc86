// The records the element tree is made of: names (XmlName), element text
// (XmlText), attributes (XmlAttribute), and the attribute key every lookup
// builds. Elements are in xml_element.h.
//
// Threads: a tree belongs to one parser or one serialization, used by one
// thread at a time; nothing is locked.
#ifndef QXSOAP_XML_XML_NAME_H_
#define QXSOAP_XML_XML_NAME_H_

#include <string>
#include <string_view>

namespace qxsoap {

// A name as read and as resolved.
class XmlName {
 public:
  XmlName() = default;
  XmlName(std::u16string qualified, std::u16string uri, std::u16string local)
      : namespaceUri(std::move(uri)),
        localName(std::move(local)),
        qualifiedName(std::move(qualified)) {}
  XmlName(const XmlName&) = default;
  XmlName(XmlName&&) = default;
  XmlName& operator=(const XmlName&) = default;
  XmlName& operator=(XmlName&&) = default;
  virtual ~XmlName() = default;

  // True when the namespace URI followed by the local name is the same text
  // for both names. The two parts are compared run together, as the
  // attribute key is, so "ab"+"c" equals "a"+"bc".
  virtual bool NameEquals(const XmlName& other) const;

  std::u16string namespaceUri;   // resolved URI; empty for no namespace
  std::u16string localName;      // the name without its prefix
  std::u16string qualifiedName;  // the name as written, prefix included
};

// The character data of an element: all its text, references and CDATA
// contents in document order, run together. Elements are destroyed through
// this base.
class XmlText {
 public:
  virtual ~XmlText() = default;

  std::u16string text;
};

class XmlAttribute : public XmlName {
 public:
  XmlAttribute(std::u16string qualified, std::u16string attributeValue)
      : XmlName(std::move(qualified), {}, {}), value(std::move(attributeValue)) {}

  std::u16string ownerLocalName;     // unprefixed attributes: the element's local name
  std::u16string ownerNamespaceUri;  // unprefixed attributes: the element's namespace URI
  std::u16string value;              // references already replaced
};

// The key an attribute is filed under: its namespace URI and local name run
// together without a separator. An unprefixed attribute has no namespace;
// it is filed under its element's namespace URI and local name followed by
// its own name (use the three-part form).
inline std::u16string AttributeKey(std::u16string_view namespaceUri,
                                   std::u16string_view localName) {
  std::u16string key;
  key.reserve(namespaceUri.size() + localName.size());
  key.append(namespaceUri).append(localName);
  return key;
}
inline std::u16string AttributeKey(std::u16string_view ownerNamespaceUri,
                                   std::u16string_view ownerLocalName,
                                   std::u16string_view localName) {
  std::u16string key = AttributeKey(ownerNamespaceUri, ownerLocalName);
  key.append(localName);
  return key;
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_NAME_H_
