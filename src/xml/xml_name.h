// The records the element tree is made of besides elements: names
// (XmlName), attributes (XmlAttribute), and the attribute key every lookup
// builds. Elements are in xml_element.h.
//
// Strings are views. In a parsed tree they point into the decoded document
// text, which the tree keeps (only references, and texts made of several
// pieces, get storage of their own); in a built tree into copies in the
// tree's memory. Either way they live as long as the tree. Copy a view into
// a std::u16string to keep it longer.
//
// Threads: a tree belongs to one parser or one serialization, used by one
// thread at a time; nothing is locked.
#ifndef QXSOAP_XML_XML_NAME_H_
#define QXSOAP_XML_XML_NAME_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace qxsoap {

class TreeMemory;

// A name as written and as resolved. A parsed tree keeps one record per
// distinct qualified name and namespace, shared by all its elements of
// that name.
class XmlName {
 public:
  XmlName(std::u16string_view qualified, std::u16string_view uri, std::u16string_view local,
          TreeMemory& memory)
      : qualifiedName_(qualified), namespaceUri_(uri), localName_(local), memory_(&memory) {}

  std::u16string_view QualifiedName() const { return qualifiedName_; }  // prefix included
  std::u16string_view NamespaceUri() const { return namespaceUri_; }    // empty: none
  std::u16string_view LocalName() const { return localName_; }          // without prefix

  // True when the namespace URI followed by the local name is the same text
  // for both names. The two parts are compared run together, as the
  // attribute key is, so "ab"+"c" equals "a"+"bc".
  bool NameEquals(const XmlName& other) const;

  // The memory of the tree the record belongs to.
  TreeMemory& Memory() const { return *memory_; }

 private:
  std::u16string_view qualifiedName_;
  std::u16string_view namespaceUri_;
  std::u16string_view localName_;
  TreeMemory* memory_;
};

// The key an attribute is filed under, as up to three parts run together
// without a separator: a prefixed attribute's namespace URI and local name;
// an unprefixed attribute's element namespace URI, element local name and
// its own name; an attribute added before resolution (AddAttribute) its
// qualified name alone. Comparing parts avoids building the text.
struct AttributeKeyParts {
  std::u16string_view parts[3];

  size_t Size() const { return parts[0].size() + parts[1].size() + parts[2].size(); }
  // <0, 0, >0 as the concatenations compare.
  int Compare(const AttributeKeyParts& other) const;
  int Compare(std::u16string_view key) const;
};

// The key as text: namespace URI and local name; for an unprefixed
// attribute the three-part form with the element's names in front.
std::u16string AttributeKey(std::u16string_view namespaceUri, std::u16string_view localName);
std::u16string AttributeKey(std::u16string_view ownerNamespaceUri,
                            std::u16string_view ownerLocalName, std::u16string_view localName);

// An attribute. 32 bytes: its name as written (the local name is its tail),
// its value, and what resolves it: for a prefixed attribute the namespace
// URI bound to the prefix, for an unprefixed one the name of the element
// that carries it, in one pointer whose two low bits tell which.
class XmlAttribute {
 public:
  enum class Form : uint8_t {
    kUnresolved,  // added under its qualified name; no namespace or local name
    kPrefixed,    // namespace URI from the prefix
    kUnprefixed,  // no namespace; filed under the element's names
  };

  static XmlAttribute Unresolved(std::u16string_view qualified, std::u16string_view value);
  // `uri` must live as long as the tree (a binding of its scope).
  // The local name is what follows the first colon (found again when asked
  // for: names are short, and the record stays at 32 bytes).
  static XmlAttribute Prefixed(std::u16string_view qualified, const std::u16string_view& uri,
                               std::u16string_view value);
  static XmlAttribute Unprefixed(std::u16string_view qualified, const XmlName& owner,
                                 std::u16string_view value);

  std::u16string_view QualifiedName() const { return {qualified_, qualifiedLength_}; }
  std::u16string_view NamespaceUri() const {
    return KeyForm() == Form::kPrefixed ? *static_cast<const std::u16string_view*>(Context())
                                        : std::u16string_view();
  }
  // Inline: readers of SOAP attributes ask for it for every attribute.
  std::u16string_view LocalName() const {
    const std::u16string_view qualified = QualifiedName();
    switch (KeyForm()) {
      case Form::kPrefixed:
        return qualified.substr(qualified.find(u':') + 1);
      case Form::kUnprefixed:
        return qualified;
      default:
        return {};
    }
  }
  // For a prefixed attribute, the address of the namespace URI its prefix
  // resolved to: one address for all the attributes of a tree resolved
  // through one declaration, distinct addresses for distinct declarations.
  // It keys what is worked out once per namespace. Null for other forms.
  const void* BindingIdentity() const {
    return KeyForm() == Form::kPrefixed ? Context() : nullptr;
  }
  // For an unprefixed attribute the names of its element; else empty.
  std::u16string_view OwnerLocalName() const {
    return KeyForm() == Form::kUnprefixed ? Owner().LocalName() : std::u16string_view();
  }
  std::u16string_view OwnerNamespaceUri() const {
    return KeyForm() == Form::kUnprefixed ? Owner().NamespaceUri() : std::u16string_view();
  }
  std::u16string_view Value() const { return {value_, valueLength_}; }
  Form KeyForm() const { return Form(context_ & kFormBits); }

  AttributeKeyParts Key() const;
  // The key as text (see AttributeKey).
  std::u16string KeyText() const;

 private:
  static constexpr uintptr_t kFormBits = 3;  // both pointees are 8-byte aligned

  XmlAttribute(std::u16string_view qualified, std::u16string_view value, Form form,
               const void* context);
  const void* Context() const { return reinterpret_cast<const void*>(context_ & ~kFormBits); }
  const XmlName& Owner() const { return *static_cast<const XmlName*>(Context()); }

  const char16_t* qualified_;
  const char16_t* value_;
  // kPrefixed: the std::u16string_view of the URI; kUnprefixed: the owner's
  // XmlName; kUnresolved: null. The form in the low bits.
  uintptr_t context_;
  uint32_t qualifiedLength_;
  uint32_t valueLength_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_NAME_H_
