// The handlers of a Fault element in a response from the next hop, in its
// SOAP 1.1 form (faultcode, faultstring, faultactor, detail) and its SOAP
// 1.2 form (Code with one level of Subcode, Reason texts by language, Node,
// Role, Detail). They keep views into the response's tree, which lives as
// long as the parse's records; the fault detail deserialization reads them
// when the parse is over. Elements they do not know are skipped.
#ifndef QXSOAP_PARSE_FAULT_HANDLERS_H_
#define QXSOAP_PARSE_FAULT_HANDLERS_H_

#include <map>
#include <string_view>

#include "decode/accessor_handler.h"

namespace qxsoap {

// An element whose text is a QName: a fault code value, or the name of the
// SOAP 1.2 RPC result. Resolved at the element's end against its own scope;
// the text is taken whole, untrimmed.
class QNameValueHandler final : public ElementHandler {
 public:
  // A fault code needs a namespace: unprefixed, it takes the default one,
  // and there must be one. A result name unprefixed has no namespace.
  enum class Variant { kFaultCode, kResult };
  explicit QNameValueHandler(Variant variant) : variant_(variant) {}

  ElementHandler* StartElement(std::u16string_view, std::u16string_view, std::u16string_view,
                               XmlAttributes, const NamespaceScope&, XmlElement&) override {
    return nullptr;
  }
  void Characters(std::u16string_view text) override { text_ = text; }
  // Resolves the text; a prefix not in scope, or an unprefixed fault code
  // without a default namespace, is a Sender fault.
  bool EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                  std::u16string_view qualifiedName, XmlElement& element) override;

  std::u16string_view localName;
  std::u16string_view namespaceUri;

 private:
  Variant variant_;
  std::u16string_view text_;
};

// Stores an element's text into a target string; a later element of the
// same name replaces it.
class TextCollector final : public ElementHandler {
 public:
  explicit TextCollector(std::u16string_view& target) : target_(target) {}
  ElementHandler* StartElement(std::u16string_view, std::u16string_view, std::u16string_view,
                               XmlAttributes, const NamespaceScope&, XmlElement&) override {
    return nullptr;
  }
  void Characters(std::u16string_view text) override { target_ = text; }

 private:
  std::u16string_view& target_;
};

// SOAP 1.2 Subcode: only its Value is read, not a Subcode inside it.
class SubcodeHandler final : public SoapElementHandler {
 public:
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;
  QNameValueHandler value{QNameValueHandler::Variant::kFaultCode};
};

// SOAP 1.2 Code: its Value and its Subcode.
class CodeHandler final : public SoapElementHandler {
 public:
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;
  QNameValueHandler value{QNameValueHandler::Variant::kFaultCode};
  SubcodeHandler subcode;
};

// SOAP 1.2 Reason: its Text elements by xml:lang (none: the empty
// language); a later Text of a language replaces an earlier one.
class ReasonHandler final : public SoapElementHandler {
 public:
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  std::map<std::u16string_view, std::u16string_view> texts;

 private:
  // One Text element; Text elements do not nest, so one handler serves
  // them all in turn.
  class TextHandler final : public ElementHandler {
   public:
    explicit TextHandler(ReasonHandler& reason) : reason_(reason) {}
    ElementHandler* StartElement(std::u16string_view, std::u16string_view, std::u16string_view,
                                 XmlAttributes, const NamespaceScope&, XmlElement&) override {
      return nullptr;
    }
    void ProcessAttributes(XmlAttributes attributes);
    void Characters(std::u16string_view text) override { text_ = text; }
    bool EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                    std::u16string_view qualifiedName, XmlElement& element) override;

   private:
    ReasonHandler& reason_;
    std::u16string_view lang_;
    std::u16string_view text_;
  };
  TextHandler text_{*this};
};

// The Fault element. Its detail entries are accessor records in the
// Body's record memory and registry, read after the parse by the port's
// description of the operation's fault details.
class FaultHandler final : public AccessorHandler {
 public:
  FaultHandler(XmlElement& element, int32_t soapVersion, AccessorContext& context)
      : AccessorHandler(element, soapVersion, context) {}

  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  // SOAP 1.1
  QNameValueHandler faultCode{QNameValueHandler::Variant::kFaultCode};
  std::u16string_view faultString;
  std::u16string_view faultActor;
  // SOAP 1.2
  CodeHandler code;
  ReasonHandler reason;
  std::u16string_view node;
  std::u16string_view role;
  // The detail element's record, whose children are the entries; null
  // when the fault has none.
  AccessorHandler* detail = nullptr;

 private:
  TextCollector faultStringText_{faultString};
  TextCollector faultActorText_{faultActor};
  TextCollector nodeText_{node};
  TextCollector roleText_{role};
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_FAULT_HANDLERS_H_
