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
                     XmlString& uri, XmlString& local) {
  const std::u16string* bound = scope.Find(name.substr(0, colon));
  const std::u16string_view rest = name.substr(colon + 1);
  if (!bound || rest.find(u':') != std::u16string_view::npos) return false;
  uri = *bound;
  local = rest;
  return true;
}

}  // namespace

bool XmlElement::ResolveNamespaces(const XmlElement* parent, std::span<ReadAttribute> read) {
  scope_ = parent ? parent->scope_ : RootScope();
  if (parent) {
    defaultNamespace_ = parent->defaultNamespace_;
  } else {
    defaultNamespace_.clear();
  }

  // Qualified names are distinct, so no prefix is declared twice here and
  // the order of declarations does not matter.
  NamespaceMap declared;
  for (ReadAttribute& attribute : read) {
    const std::u16string_view name = attribute.qualifiedName;
    if (name == u"xmlns") {
      defaultNamespace_ = attribute.value;
      declared.emplace(std::u16string(), std::u16string(attribute.value));
    } else if (name.starts_with(kXmlnsPrefix)) {
      // "xmlns:" alone would bind the empty prefix without making it the
      // default namespace, and would then be written as a default namespace
      // declaration that reads back differently: it is refused.
      if (name.size() == kXmlnsPrefix.size()) return false;
      declared.emplace(name.substr(kXmlnsPrefix.size()), std::u16string(attribute.value));
    }
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

  std::pmr::memory_resource* memory = Memory();
  for (ReadAttribute& readAttribute : read) {
    const std::u16string_view name = readAttribute.qualifiedName;
    if (name == u"xmlns" || name.starts_with(kXmlnsPrefix)) continue;
    XmlAttribute attribute(name, std::move(readAttribute.value), memory);
    XmlString key(memory);
    const size_t attributeColon = name.find(u':');
    if (attributeColon == std::u16string_view::npos) {
      attribute.localName = name;
      attribute.ownerLocalName = localName;
      attribute.ownerNamespaceUri = namespaceUri;
      key = AttributeKey(namespaceUri, localName, name, memory);
    } else if (attributeColon == 0 ||
               !ResolvePrefixed(scope_, name, attributeColon, attribute.namespaceUri,
                                attribute.localName)) {
      return false;
    } else {
      key = AttributeKey(attribute.namespaceUri, attribute.localName, memory);
    }
    if (!attributes_.try_emplace(std::move(key), std::move(attribute)).second) return false;
  }
  return true;
}

}  // namespace qxsoap
