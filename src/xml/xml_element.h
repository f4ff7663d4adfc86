// An element of the tree: its names and text (XmlName, XmlText), attributes
// filed under their attribute keys, children in document order, and the
// complete namespace map in force at it, against which QName-valued content
// is resolved. Built by the reader, or by the serializer for output.
//
// Memory: a parsed tree is allocated per tree, not per node. Its root is an
// ordinary heap element that owns one arena, its tree memory (TreeMemory,
// tree_memory.h); every descendant the reader makes, and all of that
// descendant's strings, attribute map and child list, live in the arena,
// which is released in one piece when the root is destroyed. So building
// and freeing a large tree costs the same per byte as a small one. The
// root's own names, text, attributes and child list use the default
// resource, since they are made before the arena. Elements made any other way
// (the public constructors: the serializer, tests) are ordinary heap
// elements using the default resource; AppendChild takes them into any
// tree, and the child list frees each element the way it was made. Only
// the root of a tree can be handed out (XmlDocument::DetachRoot,
// ParseFragment), and it takes its tree memory along. Memory freed inside
// the arena is not reused before the root goes, so a tree that is edited
// at length after the parse grows; trees here are read once.
//
// Threads: a tree belongs to one parser or one serialization, used by one
// thread at a time; nothing is locked.
#ifndef QXSOAP_XML_XML_ELEMENT_H_
#define QXSOAP_XML_XML_ELEMENT_H_

#include <functional>
#include <map>
#include <memory>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/namespace_scope.h"
#include "xml/tree_memory.h"
#include "xml/xml_name.h"

namespace qxsoap {

class XmlElement;

// An attribute as the reader found it, before namespace resolution. The name
// is a view into the text being read.
struct ReadAttribute {
  std::u16string_view qualifiedName;
  XmlString value;
};

// Attribute key (xml_name.h) → attribute, in key order.
using XmlAttributeMap = std::pmr::map<XmlString, XmlAttribute, std::less<>>;

// Frees a child as it was made: destroys an element living in tree memory
// in place, deletes a heap element.
struct XmlChildDeleter {
  void operator()(XmlElement* element) const;
};
using XmlChild = std::unique_ptr<XmlElement, XmlChildDeleter>;
using XmlElementList = std::pmr::vector<XmlChild>;

class XmlElement : public XmlName, public XmlText {
 public:
  // A heap element with only its qualified name: no namespace, no local
  // name, no text, attributes or children, an empty scope and no default
  // namespace.
  explicit XmlElement(std::u16string_view qualifiedName);
  // The same with the namespace URI and local name set.
  XmlElement(std::u16string_view qualifiedName, std::u16string_view namespaceUri,
             std::u16string_view localName);
  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;
  ~XmlElement() override = default;

  // A heap element like the one above that owns a new, empty tree memory
  // for the children AddChild makes under it.
  static std::unique_ptr<XmlElement> NewTree(std::u16string_view qualifiedName);

  // Appends a new element named `qualifiedName` and returns it (this element
  // owns it). It is made in this element's tree memory when there is one,
  // and on the heap otherwise.
  XmlElement& AddChild(std::u16string_view qualifiedName);

  // Appends `child` and takes ownership of it; a null child is ignored.
  void AppendChild(std::unique_ptr<XmlElement> child);

  // The memory this element's own strings and containers come from: the
  // tree memory for an element made by AddChild in a tree, the default
  // resource otherwise.
  std::pmr::memory_resource* Memory() const { return text.get_allocator().resource(); }

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
  void SetDefaultNamespace(std::u16string_view uri) { defaultNamespace_ = uri; }

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
  const XmlString& DefaultNamespace() const { return defaultNamespace_; }

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
  friend struct XmlChildDeleter;

  // An element made in `treeMemory`, strings and containers included.
  XmlElement(std::u16string_view qualifiedName, std::pmr::memory_resource* treeMemory);

  // Set on the root of a parsed tree only. Declared first so that it is
  // destroyed last, after the children living in it.
  std::unique_ptr<TreeMemory> ownedTreeMemory_;
  // Where AddChild makes children: the tree memory of the tree this element
  // belongs to, or null for an element outside one.
  std::pmr::memory_resource* treeMemory_ = nullptr;
  // True when this element itself lives in tree memory.
  bool inTreeMemory_ = false;
  XmlAttributeMap attributes_;
  XmlElementList children_;
  NamespaceScope scope_;
  XmlString defaultNamespace_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_ELEMENT_H_
