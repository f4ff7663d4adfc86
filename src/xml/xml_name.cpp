// Names, attribute keys compared part by part, attribute records.
#include "xml/xml_name.h"

#include <algorithm>

#include "xml/same_text.h"

namespace qxsoap {

namespace {

// Walks the text of up to three views as one string.
class PartCursor {
 public:
  explicit PartCursor(const AttributeKeyParts& key) : key_(key) { SkipEmpty(); }

  bool AtEnd() const { return part_ == 3; }
  // The rest of the current part.
  std::u16string_view Run() const { return key_.parts[part_].substr(offset_); }
  void Advance(size_t units) {
    offset_ += units;
    SkipEmpty();
  }

 private:
  void SkipEmpty() {
    while (part_ < 3 && offset_ == key_.parts[part_].size()) {
      ++part_;
      offset_ = 0;
    }
  }

  const AttributeKeyParts& key_;
  int part_ = 0;
  size_t offset_ = 0;
};

bool SameView(std::u16string_view a, std::u16string_view b) {
  return a.data() == b.data() && a.size() == b.size();
}

}  // namespace

int AttributeKeyParts::Compare(const AttributeKeyParts& other) const {
  // The unprefixed attributes of one element share their first two parts.
  if (SameView(parts[0], other.parts[0]) && SameView(parts[1], other.parts[1])) {
    return CompareText(parts[2], other.parts[2]);
  }
  PartCursor a(*this), b(other);
  while (!a.AtEnd() && !b.AtEnd()) {
    const std::u16string_view runA = a.Run(), runB = b.Run();
    const size_t common = std::min(runA.size(), runB.size());
    if (const int order = CompareUnits(runA.data(), runB.data(), common)) return order;
    a.Advance(common);
    b.Advance(common);
  }
  return int(b.AtEnd()) - int(a.AtEnd());
}

int AttributeKeyParts::Compare(std::u16string_view key) const {
  return Compare(AttributeKeyParts{{key, {}, {}}});
}

bool XmlName::NameEquals(const XmlName& other) const {
  return AttributeKeyParts{{namespaceUri_, localName_, {}}}.Compare(
             AttributeKeyParts{{other.namespaceUri_, other.localName_, {}}}) == 0;
}

std::u16string AttributeKey(std::u16string_view namespaceUri, std::u16string_view localName) {
  std::u16string key;
  key.reserve(namespaceUri.size() + localName.size());
  return key.append(namespaceUri).append(localName);
}

std::u16string AttributeKey(std::u16string_view ownerNamespaceUri,
                            std::u16string_view ownerLocalName, std::u16string_view localName) {
  return AttributeKey(ownerNamespaceUri, ownerLocalName).append(localName);
}

XmlAttribute::XmlAttribute(std::u16string_view qualified, std::u16string_view value, Form form,
                           const void* context)
    : qualified_(qualified.data()),
      value_(value.data()),
      context_(reinterpret_cast<uintptr_t>(context) | uintptr_t(form)),
      qualifiedLength_(uint32_t(qualified.size())),
      valueLength_(uint32_t(value.size())) {}

XmlAttribute XmlAttribute::Unresolved(std::u16string_view qualified, std::u16string_view value) {
  return XmlAttribute(qualified, value, Form::kUnresolved, nullptr);
}

XmlAttribute XmlAttribute::Prefixed(std::u16string_view qualified, const std::u16string_view& uri,
                                    std::u16string_view value) {
  return XmlAttribute(qualified, value, Form::kPrefixed, &uri);
}

XmlAttribute XmlAttribute::Unprefixed(std::u16string_view qualified, const XmlName& owner,
                                      std::u16string_view value) {
  return XmlAttribute(qualified, value, Form::kUnprefixed, &owner);
}

AttributeKeyParts XmlAttribute::Key() const {
  switch (KeyForm()) {
    case Form::kPrefixed:
      return {{NamespaceUri(), LocalName(), {}}};
    case Form::kUnprefixed:
      return {{Owner().NamespaceUri(), Owner().LocalName(), LocalName()}};
    default:
      return {{QualifiedName(), {}, {}}};
  }
}

std::u16string XmlAttribute::KeyText() const {
  const AttributeKeyParts key = Key();
  return AttributeKey(key.parts[0], key.parts[1]).append(key.parts[2]);
}

}  // namespace qxsoap
