// Building and querying elements of the tree.
#include "xml/xml_element.h"

namespace qxsoap {

bool XmlName::NameEquals(const XmlName& other) const {
  const size_t size = namespaceUri.size() + localName.size();
  if (size != other.namespaceUri.size() + other.localName.size()) return false;
  // Compare the two concatenations unit by unit without building them.
  auto at = [](const XmlName& name, size_t i) {
    return i < name.namespaceUri.size() ? name.namespaceUri[i]
                                        : name.localName[i - name.namespaceUri.size()];
  };
  for (size_t i = 0; i < size; ++i) {
    if (at(*this, i) != at(other, i)) return false;
  }
  return true;
}

XmlElement::XmlElement(std::u16string qualifiedName) : XmlName(std::move(qualifiedName), {}, {}) {}

XmlElement::XmlElement(std::u16string qualifiedName, std::u16string namespaceUri,
                       std::u16string localName)
    : XmlName(std::move(qualifiedName), std::move(namespaceUri), std::move(localName)) {}

XmlElement::~XmlElement() {
  // Everything goes in the reverse of the order the reader made it (children
  // last-first, then the text, then the attributes): the allocator then
  // merges each freed block with free space it has just got back, instead of
  // being left with many scattered small blocks that make the next large
  // allocation slow (measured with bench/).
  while (!children_.empty()) children_.pop_back();
  std::u16string().swap(text);
  attributes_.clear();
}

void XmlElement::AppendChild(std::unique_ptr<XmlElement> child) {
  if (child) children_.push_back(std::move(child));
}

bool XmlElement::AddAttribute(std::u16string qualifiedName, std::u16string value) {
  if (attributes_.contains(qualifiedName)) return false;
  const std::u16string key = qualifiedName;
  attributes_.try_emplace(key, std::move(qualifiedName), std::move(value));
  return true;
}

bool XmlElement::DeclareNamespace(std::u16string_view prefix, std::u16string_view uri) {
  if (scope_.Contains(prefix)) return false;
  scope_ = scope_.With(NamespaceMap{{std::u16string(prefix), std::u16string(uri)}});
  return true;
}

void XmlElement::SetQualifiedAttribute(std::u16string_view qualifiedName,
                                       std::u16string_view namespaceUri, std::u16string value) {
  XmlAttribute attribute(std::u16string(qualifiedName), std::move(value));
  const size_t colon = qualifiedName.find(u':');
  std::u16string key;
  if (colon == std::u16string_view::npos) {
    attribute.localName = attribute.qualifiedName;
    attribute.ownerLocalName = localName;
    attribute.ownerNamespaceUri = this->namespaceUri;
    key = AttributeKey(this->namespaceUri, localName, attribute.localName);
  } else {
    const std::u16string_view prefix = qualifiedName.substr(0, colon);
    const std::u16string_view local = qualifiedName.substr(colon + 1);
    if (prefix.empty() || local.find(u':') != std::u16string_view::npos) return;
    if (const std::u16string* bound = scope_.Find(prefix)) {
      if (*bound != namespaceUri) return;
    } else {
      scope_ = scope_.With(NamespaceMap{{std::u16string(prefix), std::u16string(namespaceUri)}});
    }
    attribute.namespaceUri = namespaceUri;
    attribute.localName = local;
    key = AttributeKey(namespaceUri, local);
  }
  attributes_.try_emplace(std::move(key), std::move(attribute));
}

bool XmlElement::GetAttribute(std::u16string_view namespaceUri, std::u16string_view localName,
                              std::u16string& value) const {
  const std::u16string key = namespaceUri.empty()
                                 ? AttributeKey(this->namespaceUri, this->localName, localName)
                                 : AttributeKey(namespaceUri, localName);
  const XmlAttribute* attribute = FindAttribute(key);
  if (!attribute) return false;
  value = attribute->value;
  return true;
}

const XmlAttribute* XmlElement::FindAttribute(std::u16string_view key) const {
  auto found = attributes_.find(key);
  return found == attributes_.end() ? nullptr : &found->second;
}

}  // namespace qxsoap
