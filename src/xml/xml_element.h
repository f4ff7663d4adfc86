// An element of the tree: its names and text (XmlName, XmlText), attributes
// filed under their attribute keys, children in document order, and the
// complete namespace map in force at it, against which QName-valued content
// is resolved. Built by the reader, or by the serializer for output.
//
// Threads: a tree belongs to one parser or one serialization, used by one
// thread at a time; nothing is locked.
#ifndef QXSOAP_XML_XML_ELEMENT_H_
#define QXSOAP_XML_XML_ELEMENT_H_

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/namespace_scope.h"
#include "xml/xml_name.h"

namespace qxsoap {

class XmlElement;

// An attribute as the reader found it, before namespace resolution. The name
// is a view into the text being read.
struct ReadAttribute {
  std::u16string_view qualifiedName;
  std::u16string value;
};

// Attribute key (xml_name.h) → attribute, in key order.
using XmlAttributeMap = std::map<std::u16string, XmlAttribute, std::less<>>;
using XmlElementList = std::vector<std::unique_ptr<XmlElement>>;

class XmlElement : public XmlName, public XmlText {
 public:
  // An element with only its qualified name: no namespace, no local name, no
  // text, attributes or children, an empty scope and no default namespace.
  explicit XmlElement(std::u16string qualifiedName);
  // The same with the namespace URI and local name set.
  XmlElement(std::u16string qualifiedName, std::u16string namespaceUri, std::u16string localName);
  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;
  ~XmlElement() override;

  // Appends `child` and takes ownership of it; a null child is ignored.
  void AppendChild(std::unique_ptr<XmlElement> child);

  // Files a new attribute with no namespace or local name under the key
  // `qualifiedName` (the form attributes have before namespace resolution).
  // Returns false and adds nothing when that key is taken.
  bool AddAttribute(std::u16string qualifiedName, std::u16string value);

  // Binds `prefix` (empty: the default namespace declaration) to `uri` in
  // this element's scope, so the writer declares it here. Returns false and
  // changes nothing when the prefix is already in scope: the first binding
  // wins. Elements that share the scope are not affected.
  bool DeclareNamespace(std::u16string_view prefix, std::u16string_view uri);

  // Adds an attribute for output, named `qualifiedName`, dropping it
  // silently when it cannot be filed:
  //  - unprefixed: it belongs to this element and `namespaceUri` is unused;
  //  - prefixed: the prefix is bound to `namespaceUri` in this scope when it
  //    is not in scope yet (so the element declares it when written); an
  //    attribute whose prefix is bound to another URI is dropped;
  //  - an empty prefix (":x"), a second colon in the local part, or a key
  //    already taken drops it as well.
  void SetQualifiedAttribute(std::u16string_view qualifiedName, std::u16string_view namespaceUri,
                             std::u16string value);

  // Sets the namespace of unprefixed element names here; not written out.
  void SetDefaultNamespace(std::u16string uri) { defaultNamespace_ = std::move(uri); }

  // Looks up the attribute `localName` in `namespaceUri`; an empty
  // `namespaceUri` means an unprefixed attribute of this element. Copies its
  // value to `value` and returns true when found; otherwise returns false and
  // leaves `value` unchanged.
  bool GetAttribute(std::u16string_view namespaceUri, std::u16string_view localName,
                    std::u16string& value) const;

  // The attribute filed under `key` (see AttributeKey), or nullptr.
  const XmlAttribute* FindAttribute(std::u16string_view key) const;

  const XmlAttributeMap& Attributes() const { return attributes_; }
  const XmlElementList& Children() const { return children_; }
  const NamespaceScope& Scope() const { return scope_; }
  const std::u16string& DefaultNamespace() const { return defaultNamespace_; }

  // Resolves the names of a freshly read element against `parent` (null for
  // the root) and files its attributes: takes the parent's scope, applies the
  // xmlns declarations among `read` (which do not become attributes), sets
  // the element's namespace URI and local name, and files the other
  // attributes under their attribute keys, taking their values from `read`.
  // `read` holds the attributes in document order, with distinct qualified
  // names. Returns false for an undeclared prefix, an attribute with an
  // empty prefix, a declaration "xmlns:" of no prefix, a second colon in a
  // local part, or two attributes with one key; the element is then partly
  // resolved and must be dropped.
  bool ResolveNamespaces(const XmlElement* parent, std::span<ReadAttribute> read);

 private:
  XmlAttributeMap attributes_;
  XmlElementList children_;
  NamespaceScope scope_;
  std::u16string defaultNamespace_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_ELEMENT_H_
