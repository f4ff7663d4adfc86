// Making, linking, editing and querying elements.
#include "xml/xml_element.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#include "xml/same_text.h"

namespace qxsoap {

// The node sizes the memory of a parsed tree is planned on.
static_assert(sizeof(XmlElement) == 48);
static_assert(sizeof(XmlAttribute) == 32);

namespace {

// Whether an attribute array of `count` is full: its capacity is the count
// rounded up to a power of two. (std::has_single_bit counts bits, a library
// call on processors without a popcount instruction.)
bool IsFull(uint32_t count) { return (count & (count - 1)) == 0; }

const XmlElementShape& NewShape(TreeMemory& memory, const XmlName& name,
                                const NamespaceScope& scope) {
  auto* shape = memory.AllocateArray<XmlElementShape>(1);
  return *new (shape) XmlElementShape{name, scope};
}

const XmlElementShape& NewShape(TreeMemory& memory, std::u16string_view qualifiedName,
                                std::u16string_view namespaceUri, std::u16string_view localName) {
  return NewShape(memory,
                  XmlName(memory.Copy(qualifiedName), memory.Copy(namespaceUri),
                          memory.Copy(localName), memory),
                  NamespaceScope());
}

}  // namespace

std::unique_ptr<XmlElement> XmlElement::NewTree(std::u16string_view qualifiedName,
                                                std::u16string_view namespaceUri,
                                                std::u16string_view localName,
                                                size_t firstBlockBytes) {
  auto memory = std::make_unique<TreeMemory>(firstBlockBytes);
  XmlElement& root = Make(NewShape(*memory, qualifiedName, namespaceUri, localName));
  memory.release();  // the root owns it now
  return std::unique_ptr<XmlElement>(&root);
}

void XmlElement::operator delete(XmlElement* root, std::destroying_delete_t) {
  // The root lives in the memory it owns; nothing else needs destroying.
  delete &root->Memory();
}

XmlElement& XmlElement::Make(const XmlElementShape& shape) {
  void* place = shape.name.Memory().Allocate(sizeof(XmlElement), alignof(XmlElement));
  return *new (place) XmlElement(shape);
}

void XmlElement::SetScope(const NamespaceScope& scope) {
  shape_ = &NewShape(Memory(), Name(), scope);
}

void XmlElement::Link(XmlElement& child) {
  if (lastChild_) {
    child.nextSibling_ = lastChild_->nextSibling_;
    lastChild_->nextSibling_ = &child;
  } else {
    child.nextSibling_ = &child;
  }
  lastChild_ = &child;
}

XmlElement& XmlElement::AddChild(std::u16string_view qualifiedName,
                                 std::u16string_view namespaceUri, std::u16string_view localName) {
  XmlElement& child = Make(NewShape(Memory(), qualifiedName, namespaceUri, localName));
  Link(child);
  return child;
}

XmlElement& XmlElement::AddChildLike(const XmlElement& model) {
  // Shapes never change once made, so the two may share one. An attribute
  // array is edited in place by an insertion only while it has room: a
  // full one (its count a power of two, as a model's single xsi:type) is
  // replaced by a larger copy first, so it too may be shared; one with room
  // is copied.
  XmlElement& child = Make(*model.shape_);
  child.attributeCount_ = model.attributeCount_;
  if (model.attributeCount_ != 0 && IsFull(model.attributeCount_)) {
    child.attributes_ = model.attributes_;
  } else if (model.attributeCount_) {
    child.attributes_ = Memory().AllocateArray<XmlAttribute>(std::bit_ceil(model.attributeCount_));
    std::copy_n(model.attributes_, model.attributeCount_, child.attributes_);
  }
  Link(child);
  return child;
}

void XmlElement::AppendChild(std::unique_ptr<XmlElement> child) {
  if (!child) return;
  XmlElement& appended = *child;
  Memory().AdoptRoot(std::move(child));
  Link(appended);
}

void XmlElement::RemoveLastChild() {
  if (!lastChild_) return;
  XmlElement* const first = lastChild_->nextSibling_;
  if (first == lastChild_) {
    lastChild_ = nullptr;
    return;
  }
  XmlElement* before = first;
  while (before->nextSibling_ != lastChild_) before = before->nextSibling_;
  before->nextSibling_ = first;
  lastChild_ = before;
}

void XmlElement::SetText(std::u16string_view text) { SetTextView(Memory().Copy(text)); }

char16_t* XmlElement::NewText(size_t units) {
  if (units >= kDeferredLength) throw std::bad_alloc();  // lengths are kept in 32 bits
  char16_t* text = Memory().AllocateText(units);
  SetTextView({text, units});
  return text;
}

void XmlElement::DeferText(const DeferredText& producer) {
  const size_t length = producer.Length();
  if (length >= kDeferredLength) throw std::bad_alloc();
  if (length == 0) {
    SetTextView({});
    return;
  }
  deferred_ = &producer;
  textLength_ = kDeferredLength;
}

std::u16string_view XmlElement::MakeDeferredText() const {
  const DeferredText& producer = *deferred_;
  const size_t length = producer.Length();
  char16_t* text = Memory().AllocateText(length);
  producer.Write(text);
  text_ = text;
  textLength_ = uint32_t(length);
  return {text, length};
}

bool XmlElement::Insert(const XmlAttribute& attribute) {
  const AttributeKeyParts key = attribute.Key();
  XmlAttribute* const end = attributes_ + attributeCount_;
  XmlAttribute* at = std::lower_bound(attributes_, end, key,
                                      [](const XmlAttribute& filed, const AttributeKeyParts& k) {
                                        return filed.Key().Compare(k) < 0;
                                      });
  if (at != end && at->Key().Compare(key) == 0) return false;
  const size_t index = size_t(at - attributes_);
  if (IsFull(attributeCount_)) {
    // Full: double the array; an element without attributes has none yet.
    auto* grown = Memory().AllocateArray<XmlAttribute>(std::max<size_t>(1, 2 * attributeCount_));
    std::copy(attributes_, end, grown);
    attributes_ = grown;
  }
  std::copy_backward(attributes_ + index, attributes_ + attributeCount_,
                     attributes_ + attributeCount_ + 1);
  attributes_[index] = attribute;
  ++attributeCount_;
  return true;
}

bool XmlElement::AddAttribute(std::u16string_view qualifiedName, std::u16string_view value) {
  if (FindAttribute(qualifiedName)) return false;
  TreeMemory& memory = Memory();
  return Insert(XmlAttribute::Unresolved(memory.Copy(qualifiedName), memory.Copy(value)));
}

bool XmlElement::DeclareNamespace(std::u16string_view prefix, std::u16string_view uri) {
  if (Scope().Contains(prefix)) return false;
  Bind(prefix, uri);
  return true;
}

const std::u16string_view& XmlElement::Bind(std::u16string_view prefix, std::u16string_view uri) {
  TreeMemory& memory = Memory();
  const NamespaceBinding binding{memory.Copy(prefix), memory.Copy(uri)};
  SetScope(Scope().WithBinding(memory, binding));
  return *Scope().Find(prefix);
}

void XmlElement::SetDefaultNamespace(std::u16string_view uri) {
  const std::u16string_view copied = Memory().Copy(uri);
  SetScope(Scope().With(Memory(), {}, &copied));
}

void XmlElement::SetQualifiedAttribute(std::u16string_view qualifiedName,
                                       std::u16string_view namespaceUri,
                                       std::u16string_view value) {
  TreeMemory& memory = Memory();
  const size_t colon = qualifiedName.find(u':');
  // Insert refuses a key that is taken; the copies made for it are only
  // memory the tree releases with itself, and duplicates are rare.
  if (colon == std::u16string_view::npos) {
    Insert(XmlAttribute::Unprefixed(memory.Copy(qualifiedName), Name(), memory.Copy(value)));
    return;
  }
  const std::u16string_view prefix = qualifiedName.substr(0, colon);
  const std::u16string_view local = qualifiedName.substr(colon + 1);
  if (prefix.empty() || local.find(u':') != std::u16string_view::npos) return;
  const std::u16string_view* bound = Scope().Find(prefix);
  if (bound && !SameText(*bound, namespaceUri)) return;
  // Declared even when the attribute then turns out to be a duplicate.
  if (!bound) bound = &Bind(prefix, namespaceUri);
  Insert(XmlAttribute::Prefixed(memory.Copy(qualifiedName), *bound, memory.Copy(value)));
}

bool XmlElement::GetAttribute(std::u16string_view namespaceUri, std::u16string_view localName,
                              std::u16string& value) const {
  const AttributeKeyParts key = namespaceUri.empty()
                                    ? AttributeKeyParts{{NamespaceUri(), LocalName(), localName}}
                                    : AttributeKeyParts{{namespaceUri, localName, {}}};
  const XmlAttribute* attribute = FindAttribute(key);
  if (!attribute) return false;
  value = attribute->Value();
  return true;
}

const XmlAttribute* FindAttribute(XmlAttributes all, const AttributeKeyParts& key) {
  auto found = std::lower_bound(
      all.begin(), all.end(), key,
      [](const XmlAttribute& filed, const AttributeKeyParts& k) { return filed.Key().Compare(k) < 0; });
  return found != all.end() && found->Key().Compare(key) == 0 ? &*found : nullptr;
}

}  // namespace qxsoap
