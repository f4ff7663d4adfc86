// Namespace resolution of a freshly read element: scope, declarations,
// element name, attribute keys.
#include "xml/namespaces.h"
#include "xml/xml_element.h"

namespace qxsoap {

namespace {

constexpr std::u16string_view kXmlnsPrefix = u"xmlns:";

// Every document starts with `xml` bound; all roots share this one map.
const NamespaceScope& RootScope() {
  static const NamespaceScope root =
      NamespaceScope().With(NamespaceMap{{u"xml", std::u16string(XML_NS)}});
  return root;
}

// Splits `name` at its first colon into the URI bound to the prefix and the
// local part. Fails for an undeclared prefix or a second colon.
bool ResolvePrefixed(const NamespaceScope& scope, std::u16string_view name, size_t colon,
                     std::u16string& uri, std::u16string& local) {
  const std::u16string* bound = scope.Find(name.substr(0, colon));
  const std::u16string_view rest = name.substr(colon + 1);
  if (!bound || rest.find(u':') != std::u16string_view::npos) return false;
  uri = *bound;
  local = rest;
  return true;
}

}  // namespace

bool XmlElement::ResolveNamespaces(const XmlElement* parent) {
  scope_ = parent ? parent->scope_ : RootScope();
  defaultNamespace_ = parent ? parent->defaultNamespace_ : std::u16string();

  // Declarations, in key order, so that of "xmlns" and "xmlns:" (both bind
  // the empty prefix) the later one wins the scope entry.
  NamespaceMap declared;
  for (auto it = attributes_.begin(); it != attributes_.end();) {
    const std::u16string_view name = it->first;
    if (name == u"xmlns") {
      defaultNamespace_ = it->second->value;
      declared.insert_or_assign(std::u16string(), std::move(it->second->value));
    } else if (name.starts_with(kXmlnsPrefix)) {
      declared.insert_or_assign(std::u16string(name.substr(kXmlnsPrefix.size())),
                                std::move(it->second->value));
    } else {
      ++it;
      continue;
    }
    it = attributes_.erase(it);
  }
  if (!declared.empty()) scope_ = scope_.With(std::move(declared));

  // A colon in first place is not a prefix separator: the whole name is local.
  const size_t colon = qualifiedName.find(u':');
  if (colon == std::u16string::npos || colon == 0) {
    namespaceUri = defaultNamespace_;
    localName = qualifiedName;
  } else if (!ResolvePrefixed(scope_, qualifiedName, colon, namespaceUri, localName)) {
    return false;
  }

  XmlAttributeMap resolved;
  while (!attributes_.empty()) {
    auto node = attributes_.extract(attributes_.begin());
    XmlAttribute& attribute = *node.mapped();
    const size_t attributeColon = attribute.qualifiedName.find(u':');
    if (attributeColon == std::u16string::npos) {
      attribute.localName = attribute.qualifiedName;
      attribute.ownerLocalName = localName;
      attribute.ownerNamespaceUri = namespaceUri;
      node.key() = AttributeKey(namespaceUri, localName, attribute.localName);
    } else if (attributeColon == 0 ||
               !ResolvePrefixed(scope_, attribute.qualifiedName, attributeColon,
                                attribute.namespaceUri, attribute.localName)) {
      return false;
    } else {
      node.key() = AttributeKey(attribute.namespaceUri, attribute.localName);
    }
    if (!resolved.insert(std::move(node)).inserted) return false;
  }
  attributes_ = std::move(resolved);
  return true;
}

}  // namespace qxsoap
