// Iqxsoapmsg2: the fault, its reason texts, its header blocks and its
// detail entries.
#include "frame/automation_adapters.h"

namespace qxsoap {

using Handler = MessageHandler;

HRESULT qxsoapmsg2::IsSOAPFault(VARIANT_BOOL* pResult) {
  return Answer(&Handler::IsSOAPFault, pResult);
}

HRESULT qxsoapmsg2::SetSOAPFault(BSTR bstrFaultCode, BSTR bstrFaultCodeNS, BSTR bstrFaultString,
                                 VARIANT_BOOL bNeedDetail, VARIANT_BOOL* pResult) {
  return Answer(&Handler::SetFault11, pResult, Text(bstrFaultCode), Text(bstrFaultCodeNS),
                Text(bstrFaultString), std::u16string_view(), IsTrue(bNeedDetail));
}

HRESULT qxsoapmsg2::SetSOAP12Fault(BSTR bstrCode, BSTR bstrCodeNS, BSTR bstrSubcode,
                                   BSTR bstrSubcodeNS, BSTR bstrReason, BSTR bstrReasonLangId,
                                   VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    const ReasonTexts reasons{
        {std::u16string(Text(bstrReasonLangId)), std::u16string(Text(bstrReason))}};
    *pResult =
        ToVariantBool(handler_->SetFault12(Text(bstrCode), Text(bstrCodeNS), Text(bstrSubcode),
                                           Text(bstrSubcodeNS), reasons, u"", false));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::AddSOAP12ReasonText(BSTR bstrText, BSTR bstrLangId) {
  return Run(&Handler::AddSOAP12ReasonText, Text(bstrText), Text(bstrLangId));
}

// The reason texts are handed out (by language id, and in language id order
// with the list cursor) rather than left unwritten: a host that set a SOAP
// 1.2 fault, or reads one from the next hop, can then read all of it back.
HRESULT qxsoapmsg2::GetSOAP12ReasonText(BSTR bstrLangId, BSTR* pbstrText, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    std::u16string text;
    const bool found = handler_->GetSOAP12ReasonText(Text(bstrLangId), &text);
    *pResult = ToVariantBool(found);
    return found ? HandOutText(text, pbstrText) : S_OK;
  });
}

HRESULT qxsoapmsg2::GetFirstSOAP12ReasonText(BSTR* pbstrText, BSTR* pbstrLangId, LONG* plPosition,
                                             VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetFirstSOAP12ReasonText, *plPosition, pResult,
                     ReasonOuts{pbstrText, pbstrLangId});
}

HRESULT qxsoapmsg2::GetNextSOAP12ReasonText(BSTR* pbstrText, BSTR* pbstrLangId, LONG* plPosition,
                                            VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetNextSOAP12ReasonText, *plPosition, pResult,
                     ReasonOuts{pbstrText, pbstrLangId});
}

HRESULT qxsoapmsg2::ClearSOAPFault() { return Run(&Handler::ClearSOAPFault); }

HRESULT qxsoapmsg2::GetSOAPFaultCode(BSTR* bstrFaultCode) {
  return HandOutText(handler_->GetSOAPFaultCode(), bstrFaultCode);
}

HRESULT qxsoapmsg2::GetSOAPFaultCodeNS(BSTR* bstrFaultCodeNS) {
  return HandOutText(handler_->GetSOAPFaultCodeNS(), bstrFaultCodeNS);
}

HRESULT qxsoapmsg2::GetSOAPFaultString(BSTR* bstrFaultString) {
  return HandOutText(handler_->GetSOAPFaultString(), bstrFaultString);
}

HRESULT qxsoapmsg2::GetSOAPFaultNode(BSTR* bstrFaultNode) {
  return HandOutText(handler_->GetSOAPFaultNode(), bstrFaultNode);
}

HRESULT qxsoapmsg2::GetNumFaultHeaderElems(LONG* plNumber) {
  return Number(&Handler::GetNumFaultHeaderElems, plNumber);
}

HRESULT qxsoapmsg2::AddFaultHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                       VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
                                       VARIANT_BOOL* pResult) {
  return AddWithContent(&Handler::AddFaultHeaderElem, pResult, Text(bstrNamespaceURI),
                        Text(bstrName), &varContent, IsTrue(bMustUnderstand), Text(bstrActorURI));
}

HRESULT qxsoapmsg2::AddFaultHeaderElem12(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                         VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI,
                                         VARIANT_BOOL bRelay, VARIANT_BOOL* pResult) {
  return AddWithContent(&Handler::AddFaultHeaderElem12, pResult, Text(bstrNamespaceURI),
                        Text(bstrName), &varContent, IsTrue(bMustUnderstand), Text(bstrRoleURI),
                        IsTrue(bRelay));
}

// The SOAP 1.1 cursor forms are the SOAP 1.2 forms without the relay
// out-parameter: a null relay is left unwritten.
HRESULT qxsoapmsg2::GetFirstFaultHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                            VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                            BSTR* pbstrActorURI, LONG* plPosition,
                                            VARIANT_BOOL* pResult) {
  return GetFirstFaultHeaderElem12(pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                                   pbstrActorURI, nullptr, plPosition, pResult);
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                           VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                           BSTR* pbstrActorURI, LONG* plPosition,
                                           VARIANT_BOOL* pResult) {
  return GetNextFaultHeaderElem12(pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                                  pbstrActorURI, nullptr, plPosition, pResult);
}

HRESULT qxsoapmsg2::GetFirstFaultHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                              VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                              BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                              LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetFirstFaultHeaderElem, *plPosition, pResult,
      HeaderOuts{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
      pvarContent);
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                             VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                             BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                             LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetNextFaultHeaderElem, *plPosition, pResult,
      HeaderOuts{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
      pvarContent);
}

HRESULT qxsoapmsg2::ClearFaultHeaderElems() { return Run(&Handler::ClearFaultHeaderElems); }

HRESULT qxsoapmsg2::GetNumFaultHeaderElemsLiteral(LONG* plNumber) {
  return Number(&Handler::GetNumFaultHeaderElemsLiteral, plNumber);
}

HRESULT qxsoapmsg2::AddFaultHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName,
                                              BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand,
                                              BSTR bstrActorURI, BSTR bstrEncodingStyle,
                                              VARIANT_BOOL* pResult) {
  return Answer(&Handler::AddFaultHeaderElemLiteral, pResult, Text(bstrNamespaceURI),
                Text(bstrName), Text(bstrLiteralXML), IsTrue(bMustUnderstand), Text(bstrActorURI),
                Text(bstrEncodingStyle));
}

HRESULT qxsoapmsg2::AddFaultHeaderElemLiteral12(BSTR bstrNamespaceURI, BSTR bstrName,
                                                BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand,
                                                BSTR bstrRoleURI, VARIANT_BOOL bRelay,
                                                BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) {
  return Answer(&Handler::AddFaultHeaderElemLiteral12, pResult, Text(bstrNamespaceURI),
                Text(bstrName), Text(bstrLiteralXML), IsTrue(bMustUnderstand), Text(bstrRoleURI),
                IsTrue(bRelay), Text(bstrEncodingStyle));
}

HRESULT qxsoapmsg2::GetFirstFaultHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                   BSTR* pbstrLiteralXML,
                                                   VARIANT_BOOL* pbMustUnderstand,
                                                   BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle,
                                                   LONG* plPosition, VARIANT_BOOL* pResult) {
  return GetFirstFaultHeaderElemLiteral12(pbstrNamespaceURI, pbstrName, pbstrLiteralXML,
                                          pbMustUnderstand, pbstrActorURI, nullptr,
                                          pbstrEncodingStyle, plPosition, pResult);
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                  BSTR* pbstrLiteralXML,
                                                  VARIANT_BOOL* pbMustUnderstand,
                                                  BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle,
                                                  LONG* plPosition, VARIANT_BOOL* pResult) {
  return GetNextFaultHeaderElemLiteral12(pbstrNamespaceURI, pbstrName, pbstrLiteralXML,
                                         pbMustUnderstand, pbstrActorURI, nullptr,
                                         pbstrEncodingStyle, plPosition, pResult);
}

HRESULT qxsoapmsg2::GetFirstFaultHeaderElemLiteral12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                     BSTR* pbstrLiteralXML,
                                                     VARIANT_BOOL* pbMustUnderstand,
                                                     BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                                     BSTR* pbstrEncodingStyle, LONG* plPosition,
                                                     VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetFirstFaultHeaderElemLiteral, *plPosition, pResult,
      LiteralHeaderOuts{{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
                        pbstrLiteralXML,
                        pbstrEncodingStyle});
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElemLiteral12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                    BSTR* pbstrLiteralXML,
                                                    VARIANT_BOOL* pbMustUnderstand,
                                                    BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                                    BSTR* pbstrEncodingStyle, LONG* plPosition,
                                                    VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetNextFaultHeaderElemLiteral, *plPosition, pResult,
      LiteralHeaderOuts{{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
                        pbstrLiteralXML,
                        pbstrEncodingStyle});
}

HRESULT qxsoapmsg2::GetNumFaultDetailElems(LONG* plNumber) {
  return Number(&Handler::GetNumFaultDetailElems, plNumber);
}

HRESULT qxsoapmsg2::AddFaultDetailElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                       VARIANT_BOOL* pResult) {
  return AddWithContent(&Handler::AddFaultDetailElem, pResult, Text(bstrNamespaceURI),
                        Text(bstrName), &varContent);
}

HRESULT qxsoapmsg2::GetFirstFaultDetailElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                            VARIANT* pvarContent, LONG* plPosition,
                                            VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetFirstFaultDetailElem, *plPosition, pResult,
                     NameOuts{pbstrNamespaceURI, pbstrName}, pvarContent);
}

HRESULT qxsoapmsg2::GetNextFaultDetailElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                           VARIANT* pvarContent, LONG* plPosition,
                                           VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetNextFaultDetailElem, *plPosition, pResult,
                     NameOuts{pbstrNamespaceURI, pbstrName}, pvarContent);
}

HRESULT qxsoapmsg2::GetFaultDetailElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT* pvarContent,
                                       VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    bool found = false;
    const HRESULT hr =
        handler_->GetFaultDetailElem(Text(bstrNamespaceURI), Text(bstrName), pvarContent, &found);
    *pResult = ToVariantBool(found);
    return hr;
  });
}

HRESULT qxsoapmsg2::ClearFaultDetailElems() { return Run(&Handler::ClearFaultDetailElems); }

}  // namespace qxsoap
