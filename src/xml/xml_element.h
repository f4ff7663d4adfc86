// An element of the tree: its name, text, attributes filed under their
// attribute keys, children in document order, and the complete namespace
// map in force at it, against which QName-valued content is resolved.
// Built by the reader, or by the serializer for output.
//
// Memory. Every element lives in the tree memory of its tree (TreeMemory,
// tree_memory.h), and so do its name record, attribute array and namespace
// frames; a parsed tree's strings are views into the decoded text, which
// the tree memory keeps; a tree built for output may borrow texts, or have
// a text written from its producer only when the tree is written
// (DeferText). An element is a fixed 48 bytes with no heap allocation of
// its own, and an attribute 32; nothing has a virtual table.
// Only the root of a tree is handed out (NewTree, XmlDocument::DetachRoot,
// ParseFragment): it owns the tree memory, and deleting it releases the
// whole tree in one piece. A root appended under an element of another tree
// (AppendChild) is owned by that tree from then on. Memory given up by an
// edit after the parse is not reused before the tree goes.
//
// Threads: a tree belongs to one parser or one serialization, used by one
// thread at a time, even to read (reading a deferred text makes it);
// nothing is locked.
#ifndef QXSOAP_XML_XML_ELEMENT_H_
#define QXSOAP_XML_XML_ELEMENT_H_

#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "xml/deferred_text.h"
#include "xml/namespace_scope.h"
#include "xml/tree_memory.h"
#include "xml/xml_name.h"

namespace qxsoap {

class XmlElement;

// What the elements of one name in one namespace scope share. A parsed
// tree keeps one record per distinct qualified name and scope, so an
// element needs one pointer for both.
struct XmlElementShape {
  XmlName name;
  NamespaceScope scope;
};

// The attributes of an element, in attribute-key order.
using XmlAttributes = std::span<const XmlAttribute>;

// The attribute of `attributes` filed under `key` (see AttributeKey), or
// nullptr. The parts form looks the key up without making its text.
const XmlAttribute* FindAttribute(XmlAttributes attributes, const AttributeKeyParts& key);
inline const XmlAttribute* FindAttribute(XmlAttributes attributes, std::u16string_view key) {
  return FindAttribute(attributes, AttributeKeyParts{{key, {}, {}}});
}

// The children of an element in document order: a forward range over
// XmlElement (Element is XmlElement or const XmlElement).
template <typename Element>
class XmlChildRange {
 public:
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = XmlElement;
    using difference_type = std::ptrdiff_t;
    using pointer = Element*;
    using reference = Element&;

    Iterator() = default;
    Iterator(Element* current, Element* last) : current_(current), last_(last) {}
    Element& operator*() const { return *current_; }
    Element* operator->() const { return current_; }
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator& other) const { return current_ == other.current_; }

   private:
    Element* current_ = nullptr;
    Element* last_ = nullptr;
  };

  explicit XmlChildRange(Element* last) : last_(last) {}
  Iterator begin() const;
  Iterator end() const { return {}; }
  bool empty() const { return !last_; }
  // Counts the children: linear in their number.
  size_t size() const { return size_t(std::distance(begin(), end())); }
  Element& front() const { return *begin(); }
  Element& back() const { return *last_; }

 private:
  Element* last_;
};

class XmlElement {
 public:
  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;

  // A new tree of one element named `qualifiedName`, with no namespace or
  // local name (or those given), no text, attributes or children, an empty
  // scope and no default namespace. The strings are copied. The tree's
  // memory starts with `firstBlockBytes` (see TreeMemory): a tree expected
  // to grow large starts at a pooled size. Throws std::bad_alloc.
  static std::unique_ptr<XmlElement> NewTree(std::u16string_view qualifiedName,
                                             std::u16string_view namespaceUri = {},
                                             std::u16string_view localName = {},
                                             size_t firstBlockBytes = 512);

  // Deleting a root releases its tree. Only roots are ever deleted.
  void operator delete(XmlElement* root, std::destroying_delete_t);

  std::u16string_view QualifiedName() const { return shape_->name.QualifiedName(); }
  std::u16string_view NamespaceUri() const { return shape_->name.NamespaceUri(); }
  std::u16string_view LocalName() const { return shape_->name.LocalName(); }
  const XmlName& Name() const { return shape_->name; }
  // All character data of the element, references replaced, CDATA
  // contents included, in document order run together. A deferred text is
  // made into tree memory at the first call. Throws std::bad_alloc then.
  std::u16string_view Text() const {
    if (textLength_ == kDeferredLength) [[unlikely]] return MakeDeferredText();
    return {text_, textLength_};
  }
  // Whether the element has text, without making a deferred one.
  bool HasText() const { return textLength_ != 0; }
  // The producer of a deferred text not made yet (see DeferText), or null.
  const DeferredText* Deferred() const { return textLength_ == kDeferredLength ? deferred_ : nullptr; }
  // The attributes in attribute-key order.
  XmlAttributes Attributes() const { return {attributes_, attributeCount_}; }
  XmlChildRange<XmlElement> Children() { return XmlChildRange<XmlElement>(lastChild_); }
  XmlChildRange<const XmlElement> Children() const {
    return XmlChildRange<const XmlElement>(lastChild_);
  }
  const NamespaceScope& Scope() const { return shape_->scope; }
  std::u16string_view DefaultNamespace() const { return Scope().DefaultNamespace(); }
  // The memory of this element's tree.
  TreeMemory& Memory() const { return shape_->name.Memory(); }

  // Appends a new element named `qualifiedName` (in `namespaceUri`, with
  // `localName`) in this element's tree and returns it. Throws
  // std::bad_alloc.
  XmlElement& AddChild(std::u16string_view qualifiedName, std::u16string_view namespaceUri = {},
                       std::u16string_view localName = {});

  // Appends a new element with the name, namespace scope and attributes of
  // `model`, an element of this tree, and no text or children: the cheap
  // way to write many elements alike. Changes to either element later do
  // not reach the other. Throws std::bad_alloc.
  XmlElement& AddChildLike(const XmlElement& model);

  // Appends `child`, the root of another tree, and takes ownership of it; a
  // null child is ignored.
  void AppendChild(std::unique_ptr<XmlElement> child);

  // Unlinks the last child and its subtree from the tree; their memory goes
  // with the tree. Linear in the number of children. Nothing happens
  // without children.
  void RemoveLastChild();

  // Replaces the text with a copy of `text`.
  void SetText(std::u16string_view text);
  // Replaces the text with `units` units of new tree memory, which the
  // caller fills before the tree is read, and returns them: a long text is
  // made in place instead of copied in. Throws std::bad_alloc, also for
  // more units than a text holds (4 G).
  char16_t* NewText(size_t units);
  // Replaces the text with a view of `text`, which the caller keeps alive
  // and unchanged for as long as the tree is read.
  void BorrowText(std::u16string_view text) { SetTextView(text); }
  // Replaces the text with the one `producer` writes when the tree is
  // written (or its Text read). The caller keeps the producer, and what it
  // reads, alive and unchanged for as long as the tree is read. Throws
  // std::bad_alloc for more characters than a text holds.
  void DeferText(const DeferredText& producer);

  // Files a new attribute with no namespace or local name under the key
  // `qualifiedName` (the form attributes have before namespace resolution).
  // Returns false and adds nothing when that key is taken.
  bool AddAttribute(std::u16string_view qualifiedName, std::u16string_view value);

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
                             std::u16string_view value);

  // Sets the namespace of unprefixed element names here; not written out.
  void SetDefaultNamespace(std::u16string_view uri);

  // Looks up the attribute `localName` in `namespaceUri`; an empty
  // `namespaceUri` means an unprefixed attribute of this element. Copies its
  // value to `value` and returns true when found; otherwise returns false and
  // leaves `value` unchanged.
  bool GetAttribute(std::u16string_view namespaceUri, std::u16string_view localName,
                    std::u16string& value) const;

  // The attribute filed under `key` (see AttributeKey), or nullptr.
  const XmlAttribute* FindAttribute(std::u16string_view key) const {
    return qxsoap::FindAttribute(Attributes(), key);
  }
  const XmlAttribute* FindAttribute(const AttributeKeyParts& key) const {
    return qxsoap::FindAttribute(Attributes(), key);
  }

 private:
  friend class XmlReader;
  template <typename Element>
  friend class XmlChildRange;

  explicit XmlElement(const XmlElementShape& shape) : shape_(&shape) {}

  // An element of `shape` made in the shape's tree memory.
  static XmlElement& Make(const XmlElementShape& shape);
  // Gives this element `scope` in a shape of its own (shapes may be shared).
  void SetScope(const NamespaceScope& scope);
  // Binds `prefix`, which is not in scope, to a copy of `uri` and returns
  // the bound URI as the scope holds it.
  const std::u16string_view& Bind(std::u16string_view prefix, std::u16string_view uri);
  // Links `child` (of this tree, or an adopted root) after the last child.
  void Link(XmlElement& child);
  // Inserts `attribute` in key order unless its key is taken.
  bool Insert(const XmlAttribute& attribute);

  // The text length that marks a deferred text: one more than a text may
  // hold.
  static constexpr uint32_t kDeferredLength = UINT32_MAX;

  // Writes a deferred text into tree memory, which it becomes.
  std::u16string_view MakeDeferredText() const;

  // The reader's setters: the views must live as long as the tree.
  void SetTextView(std::u16string_view text) {
    text_ = text.data();
    textLength_ = uint32_t(text.size());
  }
  void SetAttributes(XmlAttribute* sorted, uint32_t count) {
    attributes_ = sorted;
    attributeCount_ = count;
  }

  const XmlElementShape* shape_;
  // Which member holds follows from textLength_. Mutable: reading a
  // deferred text makes it.
  union {
    mutable const char16_t* text_ = nullptr;
    const DeferredText* deferred_;
  };
  mutable uint32_t textLength_ = 0;
  // The array's capacity is std::bit_ceil(attributeCount_).
  uint32_t attributeCount_ = 0;
  XmlAttribute* attributes_ = nullptr;
  // Children form a ring through nextSibling_: the last child's next is
  // the first, so one pointer reaches both ends.
  XmlElement* lastChild_ = nullptr;
  XmlElement* nextSibling_ = nullptr;
};

template <typename Element>
auto XmlChildRange<Element>::Iterator::operator++() -> Iterator& {
  current_ = current_ == last_ ? nullptr : current_->nextSibling_;
  return *this;
}

template <typename Element>
auto XmlChildRange<Element>::begin() const -> Iterator {
  return last_ ? Iterator(last_->nextSibling_, last_) : Iterator();
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_ELEMENT_H_
