#include "parse/header_handler.h"

#include <string>

#include "model/fault_record.h"
#include "model/soap_version.h"
#include "xml/namespaces.h"
#include "xml/same_text.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

// A SOAP boolean flag: exactly "1"/"true" or "0"/"false"; anything else
// raises `invalid`.
bool ReadFlag(std::u16string_view value, std::u16string_view invalid) {
  if (value == u"1"sv || value == u"true"sv) return true;
  if (value == u"0"sv || value == u"false"sv) return false;
  RaiseFault(FaultKind::kSender, std::u16string(invalid), false);
}

// What stands for a role given as the empty string, told apart from no
// role at all.
constexpr std::u16string_view kEmptyRole = u"\"\"";

}  // namespace

void HeaderBlockHandler::ProcessAttributes(XmlAttributes attributes, const NamespaceScope& scope) {
  id = ReadAttributes(attributes, scope).id.value_or(u""sv);
  const std::u16string_view envelope = EnvelopeNamespace(soapVersion);
  const std::u16string_view roleName = soapVersion == 11 ? u"actor"sv : u"role"sv;
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.KeyForm() != XmlAttribute::Form::kPrefixed) continue;
    if (!SameText(attribute.NamespaceUri(), envelope)) continue;
    const std::u16string_view local = attribute.LocalName();
    const std::u16string_view value = attribute.Value();
    if (local == u"mustUnderstand"sv) {
      mustUnderstand = ReadFlag(
          value, u"Encountered invalid value for attribute 'mustUnderstand' on header block."sv);
    } else if (local == roleName) {
      role = value == SOAP12_ROLE_ULTIMATE ? u""sv : value.empty() ? kEmptyRole : value;
    } else if (local == u"relay"sv && soapVersion != 11) {
      relay = ReadFlag(value, u"Encountered invalid value for attribute 'relay' on header block."sv);
    }
  }
}

bool HeaderBlockHandler::EndElement(std::u16string_view, std::u16string_view,
                                    std::u16string_view, XmlElement& ended) {
  element = &ended;
  if (soapVersion == 11 && !encodingStyle.empty() &&
      !ended.FindAttribute(AttributeKeyParts{{SOAP11_ENV_NS, u"encodingStyle"sv, {}}})) {
    ended.SetQualifiedAttribute(u"SOAP-ENV:encodingStyle"sv, SOAP11_ENV_NS, encodingStyle);
  }
  return true;
}

ElementHandler* HeaderHandler::StartElement(std::u16string_view namespaceUri, std::u16string_view,
                                            std::u16string_view, XmlAttributes attributes,
                                            const NamespaceScope& scope, XmlElement& element) {
  if (namespaceUri.empty()) {
    RaiseFault(FaultKind::kSender, u"Encountered SOAP Header Block with unqualified name.", false);
  }
  HeaderBlockHandler& block =
      AccessorHandler::Make<HeaderBlockHandler>(element, soapVersion, accessors);
  blocks.push_back(&block);
  if (soapVersion == 11) block.SetEncodingStyle(encodingStyle);
  block.ProcessAttributes(attributes, scope);
  // A repeated id among blocks keeps the first block and is no fault: the
  // blocks come from different parties, and a node forwarding them must not
  // refuse a message because two of them chose the same id.
  block.FileId(block.id);
  return &block;
}

}  // namespace qxsoap
