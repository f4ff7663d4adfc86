// Building and querying elements of the tree.
#include "xml/xml_element.h"

#include <new>

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

void XmlChildDeleter::operator()(XmlElement* element) const {
  if (element->inTreeMemory_) {
    std::destroy_at(element);
  } else {
    delete element;
  }
}

XmlElement::XmlElement(std::u16string_view qualifiedName) : XmlName(qualifiedName, {}, {}) {}

XmlElement::XmlElement(std::u16string_view qualifiedName, std::u16string_view namespaceUri,
                       std::u16string_view localName)
    : XmlName(qualifiedName, namespaceUri, localName) {}

XmlElement::XmlElement(std::u16string_view qualifiedName, std::pmr::memory_resource* treeMemory)
    : XmlName(qualifiedName, {}, {}, treeMemory),
      XmlText(treeMemory),
      treeMemory_(treeMemory),
      inTreeMemory_(true),
      attributes_(treeMemory),
      children_(treeMemory),
      defaultNamespace_(treeMemory) {}

std::unique_ptr<XmlElement> XmlElement::NewTree(std::u16string_view qualifiedName) {
  auto root = std::make_unique<XmlElement>(qualifiedName);
  root->ownedTreeMemory_ = std::make_unique<TreeMemory>();
  root->treeMemory_ = root->ownedTreeMemory_.get();
  return root;
}

XmlElement& XmlElement::AddChild(std::u16string_view qualifiedName) {
  if (!treeMemory_) {
    AppendChild(std::make_unique<XmlElement>(qualifiedName));
  } else {
    void* place = treeMemory_->allocate(sizeof(XmlElement), alignof(XmlElement));
    children_.push_back(XmlChild(new (place) XmlElement(qualifiedName, treeMemory_)));
  }
  return *children_.back();
}

void XmlElement::AppendChild(std::unique_ptr<XmlElement> child) {
  if (child) children_.push_back(XmlChild(child.release()));
}

bool XmlElement::AddAttribute(std::u16string_view qualifiedName, std::u16string_view value) {
  if (attributes_.contains(qualifiedName)) return false;
  std::pmr::memory_resource* memory = Memory();
  attributes_.try_emplace(XmlString(qualifiedName, memory), qualifiedName, XmlString(value, memory),
                          memory);
  return true;
}

bool XmlElement::DeclareNamespace(std::u16string_view prefix, std::u16string_view uri) {
  if (scope_.Contains(prefix)) return false;
  scope_ = scope_.With(NamespaceMap{{std::u16string(prefix), std::u16string(uri)}});
  return true;
}

void XmlElement::SetQualifiedAttribute(std::u16string_view qualifiedName,
                                       std::u16string_view namespaceUri,
                                       std::u16string_view value) {
  std::pmr::memory_resource* memory = Memory();
  XmlAttribute attribute(qualifiedName, XmlString(value, memory), memory);
  const size_t colon = qualifiedName.find(u':');
  XmlString key(memory);
  if (colon == std::u16string_view::npos) {
    attribute.localName = attribute.qualifiedName;
    attribute.ownerLocalName = localName;
    attribute.ownerNamespaceUri = this->namespaceUri;
    key = AttributeKey(this->namespaceUri, localName, attribute.localName, memory);
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
    key = AttributeKey(namespaceUri, local, memory);
  }
  attributes_.try_emplace(std::move(key), std::move(attribute));
}

bool XmlElement::GetAttribute(std::u16string_view namespaceUri, std::u16string_view localName,
                              std::u16string& value) const {
  const XmlString key = namespaceUri.empty()
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
