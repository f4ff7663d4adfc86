// Attribute by attribute: first the namespace decides which group it can
// belong to, then the local name picks the slot. A schema-instance
// attribute of a year ranked above the one already taken replaces it, so
// that 2001 wins over 1999, and 1999 over 2000, whatever the document
// order.
#include "decode/accessor_attributes.h"

#include <utility>

#include "xml/namespaces.h"
#include "xml/same_text.h"

namespace qxsoap {

namespace {

// The schema-instance attributes taken so far and the rank of their year.
struct SchemaInstance {
  int nilRank = 0;
  int typeRank = 0;

  // `isNil`: the local name is "nil", or "null" in the 1999 namespace;
  // `rank` 3 for 2001, 2 for 1999, 1 for 2000.
  void Take(std::u16string_view local, bool isNil, int rank, const XmlAttribute& attribute,
            AccessorAttributes& found) {
    if (isNil && rank > nilRank) {
      found.nil = AccessorAttributes::Value(attribute);
      nilRank = rank;
    } else if (IsText(local, u"type") && rank > typeRank) {
      found.type = AccessorAttributes::Value(attribute);
      typeRank = rank;
    }
  }
};

using Group = NamespaceGroups::Group;

Group Classify(std::u16string_view ns) {
  if (ns.empty()) return Group::kNone;
  constexpr std::pair<std::u16string_view, Group> kKnown[] = {
      {XSI2001_NS, Group::kXsi2001},
      {XSI1999_NS, Group::kXsi1999},
      {XSI2000_NS, Group::kXsi2000},
      {SOAP11_ENC_NS, Group::kSoap11Encoding},
      {SOAP11_ENV_NS, Group::kSoap11Envelope},
      {SOAP12_ENC_NS, Group::kSoap12Encoding},
      {SOAP12_ENV_NS, Group::kSoap12Envelope},
  };
  for (const auto& [uri, group] : kKnown) {
    if (SameText(ns, uri)) return group;
  }
  return Group::kOther;
}

void TakeSoap11(Group group, std::u16string_view local, const XmlAttribute& attribute,
                AccessorAttributes& found) {
  if (group == Group::kNone) {
    if (IsText(local, u"id")) found.id = AccessorAttributes::Value(attribute);
    if (IsText(local, u"href")) found.href = AccessorAttributes::Value(attribute);
  } else if (group == Group::kSoap11Encoding) {
    if (IsText(local, u"arrayType")) found.arrayType = AccessorAttributes::Value(attribute);
    if (IsText(local, u"offset")) found.offset = AccessorAttributes::Value(attribute);
    if (IsText(local, u"root")) found.root = AccessorAttributes::Value(attribute);
  } else if (group == Group::kSoap11Envelope && IsText(local, u"encodingStyle")) {
    found.encodingStyle = AccessorAttributes::Value(attribute);
  }
}

void TakeSoap12(Group group, std::u16string_view local, const XmlAttribute& attribute,
                AccessorAttributes& found) {
  if (group == Group::kSoap12Encoding) {
    if (IsText(local, u"id")) found.id = AccessorAttributes::Value(attribute);
    if (IsText(local, u"ref")) found.href = AccessorAttributes::Value(attribute);
    if (IsText(local, u"nodeType")) found.nodeType = AccessorAttributes::Value(attribute);
    if (IsText(local, u"itemType")) found.itemType = AccessorAttributes::Value(attribute);
    if (IsText(local, u"arraySize")) found.arraySize = AccessorAttributes::Value(attribute);
  } else if (group == Group::kSoap12Envelope && IsText(local, u"encodingStyle")) {
    found.encodingStyle = AccessorAttributes::Value(attribute);
  }
}

}  // namespace

Group NamespaceGroups::OfBinding(const XmlAttribute& attribute) {
  const void* binding = attribute.BindingIdentity();
  for (const Entry& entry : entries_) {
    if (entry.binding == binding) return (last_ = entry).group;
  }
  const Group group = Classify(attribute.NamespaceUri());
  entries_[next_] = {binding, group};
  next_ = (next_ + 1) % kEntries;
  last_ = {binding, group};
  return group;
}

AccessorAttributes ReadAccessorAttributes(XmlAttributes attributes, int32_t soapVersion,
                                          NamespaceGroups& groups) {
  AccessorAttributes found;
  SchemaInstance xsi;
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.KeyForm() == XmlAttribute::Form::kUnresolved) continue;
    const Group group = groups.Of(attribute);
    if (group == Group::kOther) continue;
    const std::u16string_view local = attribute.LocalName();
    if (group == Group::kXsi2001) {
      xsi.Take(local, IsText(local, u"nil"), 3, attribute, found);
    } else if (group == Group::kXsi1999) {
      xsi.Take(local, IsText(local, u"null"), 2, attribute, found);
    } else if (group == Group::kXsi2000) {
      xsi.Take(local, IsText(local, u"nil"), 1, attribute, found);
    } else if (soapVersion == 11) {
      TakeSoap11(group, local, attribute, found);
    } else {
      TakeSoap12(group, local, attribute, found);
    }
  }
  return found;
}

}  // namespace qxsoap
