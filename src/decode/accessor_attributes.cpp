// Attribute by attribute: first the namespace decides which group it can
// belong to, then the local name picks the slot. The schema-instance
// attributes of the three schema years are kept apart so that the newest
// present wins whatever the document order.
#include "decode/accessor_attributes.h"

#include <cstring>

#include "xml/namespaces.h"

namespace qxsoap {
namespace {

// Namespace URIs are long and most share their length with the ones they
// are told apart from: compare the bytes at once rather than unit by unit.
bool Same(std::u16string_view uri, std::u16string_view known) {
  return uri.size() == known.size() &&
         std::memcmp(uri.data(), known.data(), known.size() * sizeof(char16_t)) == 0;
}

struct SchemaInstanceSlots {
  AccessorAttributes::Value nil;
  AccessorAttributes::Value type;
};

void TakeSchemaInstance(std::u16string_view local, std::u16string_view nilName,
                        std::u16string_view value, SchemaInstanceSlots& slots) {
  if (local == nilName) {
    slots.nil = value;
  } else if (local == u"type") {
    slots.type = value;
  }
}

void TakeSoap11(std::u16string_view ns, std::u16string_view local, std::u16string_view value,
                AccessorAttributes& found) {
  if (ns.empty()) {
    if (local == u"id") found.id = value;
    if (local == u"href") found.href = value;
  } else if (Same(ns, SOAP11_ENC_NS)) {
    if (local == u"arrayType") found.arrayType = value;
    if (local == u"offset") found.offset = value;
    if (local == u"root") found.root = value;
  } else if (Same(ns, SOAP11_ENV_NS) && local == u"encodingStyle") {
    found.encodingStyle = value;
  }
}

void TakeSoap12(std::u16string_view ns, std::u16string_view local, std::u16string_view value,
                AccessorAttributes& found) {
  if (Same(ns, SOAP12_ENC_NS)) {
    if (local == u"id") found.id = value;
    if (local == u"ref") found.href = value;
    if (local == u"nodeType") found.nodeType = value;
    if (local == u"itemType") found.itemType = value;
    if (local == u"arraySize") found.arraySize = value;
  } else if (Same(ns, SOAP12_ENV_NS) && local == u"encodingStyle") {
    found.encodingStyle = value;
  }
}

}  // namespace

AccessorAttributes ReadAccessorAttributes(XmlAttributes attributes, int32_t soapVersion) {
  AccessorAttributes found;
  SchemaInstanceSlots xsi2001, xsi1999, xsi2000;
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.KeyForm() == XmlAttribute::Form::kUnresolved) continue;
    const std::u16string_view ns = attribute.NamespaceUri();
    const std::u16string_view local = attribute.LocalName();
    const std::u16string_view value = attribute.Value();
    if (Same(ns, XSI2001_NS)) {
      TakeSchemaInstance(local, u"nil", value, xsi2001);
    } else if (Same(ns, XSI1999_NS)) {
      TakeSchemaInstance(local, u"null", value, xsi1999);
    } else if (Same(ns, XSI2000_NS)) {
      TakeSchemaInstance(local, u"nil", value, xsi2000);
    } else if (soapVersion == 11) {
      TakeSoap11(ns, local, value, found);
    } else {
      TakeSoap12(ns, local, value, found);
    }
  }
  found.nil = xsi2001.nil ? xsi2001.nil : xsi1999.nil ? xsi1999.nil : xsi2000.nil;
  found.type = xsi2001.type ? xsi2001.type : xsi1999.type ? xsi1999.type : xsi2000.type;
  return found;
}

}  // namespace qxsoap
