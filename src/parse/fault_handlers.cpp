#include "parse/fault_handlers.h"

#include "decode/qname.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

bool IsEnvelope12(std::u16string_view namespaceUri, std::u16string_view localName,
                  std::u16string_view expected) {
  return namespaceUri == SOAP12_ENV_NS && localName == expected;
}

}  // namespace

bool QNameValueHandler::EndElement(std::u16string_view, std::u16string_view, std::u16string_view,
                                   XmlElement& element) {
  const bool faultCode = variant_ == Variant::kFaultCode;
  if (!faultCode && text_.find(u':') == std::u16string_view::npos) {
    localName = text_;
    namespaceUri = {};
    return true;
  }
  const ResolvedQName resolved = ResolveQName(text_, element.Scope());
  switch (resolved.problem) {
    case QNameProblem::kNone:
      localName = resolved.name.localName;
      namespaceUri = resolved.name.namespaceUri;
      return true;
    case QNameProblem::kUndeclaredPrefix:
      RaiseFault(FaultKind::kSender,
                 faultCode
                     ? u"Encountered undeclared namespace prefix for value of fault code element in Fault message."
                     : u"Encountered undeclared namespace prefix for QName in RPC 'result' element.",
                 true);
    case QNameProblem::kNoDefaultNamespace:
      break;
  }
  RaiseFault(FaultKind::kSender,
             u"Unresolvable namespace for value of fault code element in Fault message.", true);
}

ElementHandler* SubcodeHandler::StartElement(std::u16string_view namespaceUri,
                                             std::u16string_view localName, std::u16string_view,
                                             XmlAttributes, const NamespaceScope&, XmlElement&) {
  return IsEnvelope12(namespaceUri, localName, u"Value") ? &value : nullptr;
}

ElementHandler* CodeHandler::StartElement(std::u16string_view namespaceUri,
                                          std::u16string_view localName, std::u16string_view,
                                          XmlAttributes, const NamespaceScope&, XmlElement&) {
  if (IsEnvelope12(namespaceUri, localName, u"Value")) return &value;
  if (IsEnvelope12(namespaceUri, localName, u"Subcode")) return &subcode;
  return nullptr;
}

ElementHandler* ReasonHandler::StartElement(std::u16string_view namespaceUri,
                                            std::u16string_view localName, std::u16string_view,
                                            XmlAttributes attributes, const NamespaceScope&,
                                            XmlElement&) {
  if (!IsEnvelope12(namespaceUri, localName, u"Text")) return nullptr;
  text_.ProcessAttributes(attributes);
  return &text_;
}

void ReasonHandler::TextHandler::ProcessAttributes(XmlAttributes attributes) {
  const XmlAttribute* lang = FindAttribute(attributes, AttributeKeyParts{{XML_NS, u"lang", {}}});
  lang_ = lang ? lang->Value() : std::u16string_view();
  text_ = {};
}

bool ReasonHandler::TextHandler::EndElement(std::u16string_view, std::u16string_view,
                                            std::u16string_view, XmlElement&) {
  reason_.texts[lang_] = text_;
  return true;
}

ElementHandler* FaultHandler::StartElement(std::u16string_view namespaceUri,
                                           std::u16string_view localName, std::u16string_view,
                                           XmlAttributes attributes, const NamespaceScope& scope,
                                           XmlElement& element) {
  const bool isDetail = soapVersion == 11 ? localName == u"detail"
                                          : IsEnvelope12(namespaceUri, localName, u"Detail");
  if (isDetail) {
    if (detail) return nullptr;  // a second detail element is not read
    detail = &Make(element, soapVersion, Context());
    if (soapVersion == 11) detail->SetEncodingStyle(encodingStyle);
    detail->ProcessAttributes(attributes, scope);
    return detail;
  }
  if (soapVersion == 11) {
    // SOAP 1.1 names the fault's parts unqualified, and peers differ; any
    // namespace is accepted.
    if (localName == u"faultcode") return &faultCode;
    if (localName == u"faultstring") return &faultStringText_;
    if (localName == u"faultactor") return &faultActorText_;
    return nullptr;
  }
  if (namespaceUri != SOAP12_ENV_NS) return nullptr;
  if (localName == u"Code") return &code;
  if (localName == u"Reason") return &reason;
  if (localName == u"Node") return &nodeText_;
  if (localName == u"Role") return &roleText_;
  return nullptr;
}

}  // namespace qxsoap
