// The SOAP encoding attributes an accessor element carries, found in one
// pass over its attributes. Which attribute counts depends on the SOAP
// version: `id` and `href` are unqualified in SOAP 1.1, `id` and `ref` are
// in the SOAP 1.2 encoding namespace, and so on (see the table in the
// implementation). Other attributes are ignored.
#ifndef QXSOAP_DECODE_ACCESSOR_ATTRIBUTES_H_
#define QXSOAP_DECODE_ACCESSOR_ATTRIBUTES_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "xml/xml_element.h"

namespace qxsoap {

// The values of the attributes present. A result is read right after it is
// made, while the element's attributes stay as they are; the value texts
// themselves live as long as the tree.
struct AccessorAttributes {
  // One attribute, or none. It holds the attribute rather than a copy of
  // its value, so that a result is small and cheap to make: an accessor's
  // attributes are read once or twice for every element of a message.
  class Value {
   public:
    Value() = default;
    Value(std::nullopt_t) {}  // NOLINT: implicit, as for std::optional
    explicit Value(const XmlAttribute& attribute) : attribute_(&attribute) {}

    explicit operator bool() const { return attribute_ != nullptr; }
    bool has_value() const { return attribute_ != nullptr; }
    std::u16string_view operator*() const { return attribute_->Value(); }
    std::u16string_view value_or(std::u16string_view absent) const {
      return attribute_ ? attribute_->Value() : absent;
    }
    operator std::optional<std::u16string_view>() const {  // NOLINT: implicit
      return attribute_ ? std::optional(attribute_->Value()) : std::nullopt;
    }
    // False when the attribute is absent.
    bool operator==(std::u16string_view text) const {
      return attribute_ && attribute_->Value() == text;
    }

   private:
    const XmlAttribute* attribute_ = nullptr;
  };

  Value encodingStyle;  // in the envelope namespace of the version
  Value id;
  Value href;       // SOAP 1.1 `href`, SOAP 1.2 `ref`
  Value root;       // SOAP 1.1 only
  Value nodeType;   // SOAP 1.2 only
  Value arrayType;  // SOAP 1.1 only
  Value offset;     // SOAP 1.1 only
  Value itemType;   // SOAP 1.2 only
  Value arraySize;  // SOAP 1.2 only
  Value nil;        // xsi nil (2001, then 1999 `null`, then 2000)
  Value type;       // xsi type (2001, then 1999, then 2000)
};

// The namespaces accessor attributes come from, remembered by binding: a
// message's attributes are resolved through a handful of declarations, so
// each declaration's URI is compared with the known ones once, and after
// that an attribute's namespace is told by its binding's address. Entries
// hold addresses in one tree: a cache must not outlive the tree whose
// attributes it was asked about, where a later tree could reuse them.
class NamespaceGroups {
 public:
  enum class Group : uint8_t {
    kOther,
    kNone,  // unqualified
    kXsi2001,
    kXsi1999,
    kXsi2000,
    kSoap11Encoding,
    kSoap11Envelope,
    kSoap12Encoding,
    kSoap12Envelope,
  };

  // The group of the namespace of `attribute`, which must be resolved.
  // Inline for the attributes of no namespace and those of the binding
  // asked about last: the usual run is one xsi:type after another.
  Group Of(const XmlAttribute& attribute) {
    const void* binding = attribute.BindingIdentity();
    if (!binding) return Group::kNone;  // resolved without a prefix
    if (binding == last_.binding) return last_.group;
    return OfBinding(attribute);
  }

 private:
  struct Entry {
    const void* binding = nullptr;
    Group group = Group::kOther;
  };
  static constexpr size_t kEntries = 8;

  Group OfBinding(const XmlAttribute& attribute);

  std::array<Entry, kEntries> entries_{};
  size_t next_ = 0;  // the entry taken next, the oldest once all are used
  Entry last_;
};

// The accessor attributes among `attributes` for a message of `soapVersion`
// (11, or anything else for SOAP 1.2); `groups` belongs to the tree the
// attributes are in.
AccessorAttributes ReadAccessorAttributes(XmlAttributes attributes, int32_t soapVersion,
                                          NamespaceGroups& groups);

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_ACCESSOR_ATTRIBUTES_H_
