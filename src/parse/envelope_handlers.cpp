#include "parse/envelope_handlers.h"

#include <string>

#include "model/fault_record.h"
#include "xml/namespaces.h"
#include "xml/same_text.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

bool IsEnvelopeNamespace(std::u16string_view uri) {
  return SameText(uri, SOAP11_ENV_NS) || SameText(uri, SOAP12_ENV_NS);
}

// SOAP 1.2 forbids encodingStyle on the envelope's own elements.
void RefuseSoap12EncodingStyle(int32_t soapVersion, XmlAttributes attributes,
                               std::u16string_view element) {
  if (soapVersion == 11) return;
  if (!FindAttribute(attributes, AttributeKeyParts{{SOAP12_ENV_NS, u"encodingStyle"sv, {}}})) return;
  std::u16string message = u"encodingStyle attribute not allowed on SOAP 1.2 ";
  message.append(element).append(u" element.");
  RaiseFault(FaultKind::kSender, std::move(message), true);
}

}  // namespace

ElementHandler* EnvelopeHandler::Enter(SoapElementHandler& child, XmlElement& element,
                                       XmlAttributes attributes, const NamespaceScope& scope,
                                       std::u16string_view name) {
  RefuseSoap12EncodingStyle(soapVersion, attributes, name);
  child.element = &element;
  child.soapVersion = soapVersion;
  if (soapVersion == 11) child.SetEncodingStyle(encodingStyle);
  child.ProcessAttributes(attributes, scope);
  return &child;
}

ElementHandler* EnvelopeHandler::StartElement(std::u16string_view namespaceUri,
                                              std::u16string_view localName, std::u16string_view,
                                              XmlAttributes attributes, const NamespaceScope& scope,
                                              XmlElement& element) {
  if (IsEnvelopeNamespace(namespaceUri)) {
    if (localName == u"Header"sv) {
      headerFound = true;
      return Enter(header, element, attributes, scope, u"Header"sv);
    }
    if (localName == u"Body"sv) {
      bodyFound = true;
      return Enter(body, element, attributes, scope, u"Body"sv);
    }
  }
  if (soapVersion == 11) return nullptr;
  RaiseFault(FaultKind::kSender, u"Encountered illegal child element within SOAP 1.2 Envelope.",
             true);
}

bool EnvelopeHandler::EndElement(std::u16string_view, std::u16string_view, std::u16string_view,
                                 XmlElement& ended) {
  if (!bodyFound) RaiseFault(FaultKind::kSender, u"Body element not found in SOAP Envelope.", true);
  element = &ended;
  return true;
}

ElementHandler* DocumentHandler::StartElement(std::u16string_view namespaceUri,
                                              std::u16string_view localName, std::u16string_view,
                                              XmlAttributes attributes, const NamespaceScope& scope,
                                              XmlElement& element) {
  if (localName != u"Envelope"sv) return nullptr;
  if (SameText(namespaceUri, SOAP11_ENV_NS)) {
    soapVersion = 11;
  } else if (SameText(namespaceUri, SOAP12_ENV_NS)) {
    soapVersion = 12;
  } else {
    RaiseFault(FaultKind::kVersionMismatch, u"SOAP Version Mismatch", false);
  }
  RefuseSoap12EncodingStyle(soapVersion, attributes, u"Envelope");
  envelope.element = &element;
  envelope.soapVersion = soapVersion;
  envelope.ProcessAttributes(attributes, scope);
  envelopeFound = true;
  return &envelope;
}

}  // namespace qxsoap
