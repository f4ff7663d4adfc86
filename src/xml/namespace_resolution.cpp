// Namespace resolution of a freshly read start tag: scope, declarations,
// element name, attribute keys; and the prefix mappings a handler is told.
#include <algorithm>
#include <bit>
#include <optional>

#include "xml/xml_reader.h"

namespace qxsoap {

namespace {

constexpr std::u16string_view kXmlns = u"xmlns";
constexpr std::u16string_view kXmlnsPrefix = u"xmlns:";

bool IsDeclaration(std::u16string_view name) {
  // Most names are not: the first unit says so for nearly all.
  return !name.empty() && name[0] == u'x' && (name == kXmlns || name.starts_with(kXmlnsPrefix));
}

bool KeyLess(const XmlAttribute& a, const XmlAttribute& b) { return a.Key().Compare(b.Key()) < 0; }

// What may follow a prefix and its colon: a name, with no colon of its own.
bool IsLocalPart(std::u16string_view text) {
  return !text.empty() && text.find(u':') == std::u16string_view::npos;
}

}  // namespace

// Returns the element, made in the tree memory with its scope and
// attributes, or null for an undeclared prefix, an attribute with an empty
// prefix, a prefix with an empty local part ("p:"), a declaration "xmlns:"
// of no prefix, a second colon in a local part, or two attributes with one
// key.
XmlElement* XmlReader::ResolveStartTag(std::u16string_view qualifiedName,
                                       const XmlElement* parent) {
  const NamespaceScope inherited = parent ? parent->Scope() : NamespaceScope::DocumentStart();
  const std::optional<NamespaceScope> declared = ApplyDeclarations(inherited);
  if (!declared) return nullptr;
  const NamespaceScope scope = *declared;

  // A colon in first place is not a prefix separator: the whole name is local.
  const size_t colon = qualifiedName.find(u':');
  std::u16string_view uri = scope.DefaultNamespace();
  size_t localStart = 0;
  if (colon != std::u16string_view::npos && colon != 0) {
    const std::u16string_view* bound = scope.Find(qualifiedName.substr(0, colon));
    if (!bound || !IsLocalPart(qualifiedName.substr(colon + 1))) return nullptr;
    uri = *bound;
    localStart = colon + 1;
  }
  XmlElement& element = XmlElement::Make(names_.Intern(qualifiedName, uri, localStart, scope));
  return ResolveAttributes(element, scope) ? &element : nullptr;
}

// The scope the start tag's xmlns attributes make from `inherited`; none
// when a declaration names no prefix ("xmlns:" alone would
// bind the empty prefix without making it the default namespace, and would
// then be written back as a default namespace declaration that reads back
// differently).
std::optional<NamespaceScope> XmlReader::ApplyDeclarations(const NamespaceScope& inherited) {
  declared_.clear();
  std::u16string_view defaultNamespace;
  bool declaresDefault = false;
  for (const ReadAttribute& attribute : attributes_) {
    const std::u16string_view name = attribute.qualifiedName;
    if (!IsDeclaration(name)) continue;
    const std::u16string_view uri = names_.InternUri(attribute.value);
    if (name == kXmlns) {
      defaultNamespace = uri;
      declaresDefault = true;
      declared_.push_back({{}, uri});
    } else if (name.size() == kXmlnsPrefix.size()) {
      return std::nullopt;
    } else {
      declared_.push_back({name.substr(kXmlnsPrefix.size()), uri});
    }
  }
  if (declared_.empty()) return inherited;
  // Qualified names are distinct, so no prefix is declared twice here.
  std::sort(
      declared_.begin(), declared_.end(),
      [](const NamespaceBinding& a, const NamespaceBinding& b) { return a.prefix < b.prefix; });
  return inherited.With(memory_, declared_, declaresDefault ? &defaultNamespace : nullptr);
}

bool XmlReader::ResolveAttributes(XmlElement& element, const NamespaceScope& scope) {
  // ApplyDeclarations kept one binding for each xmlns attribute.
  const size_t count = attributes_.size() - declared_.size();
  if (count == 0) return true;
  // Capacity rounded up to a power of two, so the element can grow it.
  auto* filed = memory_.AllocateArray<XmlAttribute>(std::bit_ceil(count));
  size_t next = 0;
  for (const ReadAttribute& read : attributes_) {
    const std::u16string_view name = read.qualifiedName;
    if (IsDeclaration(name)) continue;
    const size_t colon = name.find(u':');
    if (colon == std::u16string_view::npos) {
      filed[next++] = XmlAttribute::Unprefixed(name, element.Name(), read.value);
      continue;
    }
    if (colon == 0 || !IsLocalPart(name.substr(colon + 1))) return false;
    const std::u16string_view* bound = scope.Find(name.substr(0, colon));
    if (!bound) return false;
    filed[next++] = XmlAttribute::Prefixed(name, *bound, read.value);
  }
  std::sort(filed, filed + count, KeyLess);
  const auto same = [](const XmlAttribute& a, const XmlAttribute& b) { return !KeyLess(a, b); };
  if (std::adjacent_find(filed, filed + count, same) != filed + count) return false;
  element.SetAttributes(filed, uint32_t(count));
  return true;
}

// The prefix mappings reported around `element`, appended to mapped_: the
// default namespace when it is the root or the default changed, then the
// bindings its own declarations added that the parent did not have, in
// prefix order. Only the element's own declarations are looked at, never
// the whole scope.
void XmlReader::MapPrefixes(const XmlElement& element, const XmlElement* parent) {
  if (!parent || element.DefaultNamespace() != parent->DefaultNamespace()) {
    mapped_.push_back({{}, element.DefaultNamespace()});
  }
  const NamespaceScope base = parent ? parent->Scope() : NamespaceScope();
  if (element.Scope().SharesMapWith(base)) return;
  for (const NamespaceBinding& binding : element.Scope().AddedTo(base, scopeScratch_)) {
    // The empty prefix of the scope is the default namespace, reported above
    // already; reporting it twice would tell a handler nothing new.
    if (binding.prefix.empty() || (parent && parent->Scope().Contains(binding.prefix))) continue;
    mapped_.push_back(binding);
  }
}

}  // namespace qxsoap
