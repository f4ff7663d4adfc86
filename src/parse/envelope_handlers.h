// The handlers of the envelope's fixed frame: the document element, which
// must be a SOAP 1.1 or SOAP 1.2 Envelope and decides the message's
// version, and the Envelope's children, Header and Body. A parser makes
// one DocumentHandler per parse, with the Body handler of its kind
// (request or response).
#ifndef QXSOAP_PARSE_ENVELOPE_HANDLERS_H_
#define QXSOAP_PARSE_ENVELOPE_HANDLERS_H_

#include "parse/header_handler.h"
#include "xml/element_handler.h"

namespace qxsoap {

class EnvelopeHandler final : public SoapElementHandler {
 public:
  // `body` reads the Body; it must outlive this handler.
  explicit EnvelopeHandler(SoapElementHandler& body) : body(body) {}

  // Header and Body, in either envelope namespace, go to their handlers,
  // however many there are and in whatever order; any other child is
  // ignored under SOAP 1.1 and a Sender fault under SOAP 1.2.
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;
  // An Envelope without a Body is a Sender fault.
  bool EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                  std::u16string_view qualifiedName, XmlElement& element) override;

  HeaderHandler header;
  SoapElementHandler& body;
  bool headerFound = false;
  bool bodyFound = false;

 private:
  // Hands `child` its element with the encodingStyle rules of Header and
  // Body; `name` names the element in the SOAP 1.2 fault.
  ElementHandler* Enter(SoapElementHandler& child, XmlElement& element, XmlAttributes attributes,
                        const NamespaceScope& scope, std::u16string_view name);
};

// The document element. Its version becomes the message's once the
// Envelope start tag is seen; it is 11 before.
class DocumentHandler final : public ElementHandler {
 public:
  explicit DocumentHandler(SoapElementHandler& body) : envelope(body) {}

  // An Envelope in SOAP11_ENV_NS or SOAP12_ENV_NS goes to `envelope`; one
  // in any other namespace is the VersionMismatch fault; any other element
  // is skipped, and the parser then finds no Envelope.
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  EnvelopeHandler envelope;
  bool envelopeFound = false;
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_ENVELOPE_HANDLERS_H_
