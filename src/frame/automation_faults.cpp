// Iqxsoapmsg2: the fault, its reason texts, its header blocks and its
// detail entries.
#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/automation_values.h"

namespace qxsoap {

HRESULT qxsoapmsg2::IsSOAPFault(VARIANT_BOOL* pResult) {
  *pResult = ToVariantBool(handler_->IsSOAPFault());
  return S_OK;
}

HRESULT qxsoapmsg2::SetSOAPFault(BSTR bstrFaultCode, BSTR bstrFaultCodeNS, BSTR bstrFaultString,
                                 VARIANT_BOOL bNeedDetail, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(handler_->SetFault11(Text(bstrFaultCode), Text(bstrFaultCodeNS),
                                                  Text(bstrFaultString), u"",
                                                  IsTrue(bNeedDetail)));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::SetSOAP12Fault(BSTR bstrCode, BSTR bstrCodeNS, BSTR bstrSubcode,
                                   BSTR bstrSubcodeNS, BSTR bstrReason, BSTR bstrReasonLangId,
                                   VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    const ReasonTexts reasons{{std::u16string(Text(bstrReasonLangId)),
                               std::u16string(Text(bstrReason))}};
    *pResult = ToVariantBool(handler_->SetFault12(Text(bstrCode), Text(bstrCodeNS),
                                                  Text(bstrSubcode), Text(bstrSubcodeNS), reasons,
                                                  u"", false));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::AddSOAP12ReasonText(BSTR bstrText, BSTR bstrLangId) {
  return AtBoundary([&] {
    handler_->AddSOAP12ReasonText(Text(bstrText), Text(bstrLangId));
    return S_OK;
  });
}

// The reason texts are handed out (by language id, and in language id order
// with the list cursor) rather than left unwritten: a host that set a SOAP
// 1.2 fault, or reads one from the next hop, can then read all of it back.
HRESULT qxsoapmsg2::GetSOAP12ReasonText(BSTR bstrLangId, BSTR* pbstrText,
                                        VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    std::u16string text;
    const bool found = handler_->GetSOAP12ReasonText(Text(bstrLangId), &text);
    *pResult = ToVariantBool(found);
    return found ? HandOutText(text, pbstrText) : S_OK;
  });
}

namespace {

HRESULT HandOutReason(const std::optional<ReasonText>& reason, BSTR* text, BSTR* langId,
                      VARIANT_BOOL* result) {
  *result = ToVariantBool(reason.has_value());
  if (!reason) return S_OK;
  OutWriter out;
  out.Text(reason->text, text);
  out.Text(reason->langId, langId);
  return out.Result();
}

}  // namespace

HRESULT qxsoapmsg2::GetFirstSOAP12ReasonText(BSTR* pbstrText, BSTR* pbstrLangId,
                                             LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutReason(handler_->GetFirstSOAP12ReasonText(*plPosition), pbstrText, pbstrLangId,
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetNextSOAP12ReasonText(BSTR* pbstrText, BSTR* pbstrLangId,
                                            LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutReason(handler_->GetNextSOAP12ReasonText(*plPosition), pbstrText, pbstrLangId,
                         pResult);
  });
}

HRESULT qxsoapmsg2::ClearSOAPFault() {
  handler_->ClearSOAPFault();
  return S_OK;
}

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
  *plNumber = handler_->GetNumFaultHeaderElems();
  return S_OK;
}

HRESULT qxsoapmsg2::AddFaultHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                       VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
                                       VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return AddResult(
        handler_->AddFaultHeaderElem(Text(bstrNamespaceURI), Text(bstrName), &varContent,
                                     IsTrue(bMustUnderstand), Text(bstrActorURI)),
        pResult);
  });
}

HRESULT qxsoapmsg2::AddFaultHeaderElem12(BSTR bstrNamespaceURI, BSTR bstrName,
                                         VARIANT varContent, VARIANT_BOOL bMustUnderstand,
                                         BSTR bstrRoleURI, VARIANT_BOOL bRelay,
                                         VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return AddResult(handler_->AddFaultHeaderElem12(Text(bstrNamespaceURI), Text(bstrName),
                                                    &varContent, IsTrue(bMustUnderstand),
                                                    Text(bstrRoleURI), IsTrue(bRelay)),
                     pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstFaultHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                            VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                            BSTR* pbstrActorURI, LONG* plPosition,
                                            VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetFirstFaultHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrActorURI, nullptr},
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                           VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                           BSTR* pbstrActorURI, LONG* plPosition,
                                           VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetNextFaultHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrActorURI, nullptr},
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstFaultHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                              VARIANT* pvarContent,
                                              VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrRoleURI,
                                              VARIANT_BOOL* pbRelay, LONG* plPosition,
                                              VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetFirstFaultHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrRoleURI, pbRelay},
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                             VARIANT* pvarContent,
                                             VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrRoleURI,
                                             VARIANT_BOOL* pbRelay, LONG* plPosition,
                                             VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetNextFaultHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrRoleURI, pbRelay},
                         pResult);
  });
}

HRESULT qxsoapmsg2::ClearFaultHeaderElems() {
  handler_->ClearFaultHeaderElems();
  return S_OK;
}

HRESULT qxsoapmsg2::GetNumFaultHeaderElemsLiteral(LONG* plNumber) {
  *plNumber = handler_->GetNumFaultHeaderElemsLiteral();
  return S_OK;
}

HRESULT qxsoapmsg2::AddFaultHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName,
                                              BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand,
                                              BSTR bstrActorURI, BSTR bstrEncodingStyle,
                                              VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(handler_->AddFaultHeaderElemLiteral(
        Text(bstrNamespaceURI), Text(bstrName), Text(bstrLiteralXML), IsTrue(bMustUnderstand),
        Text(bstrActorURI), Text(bstrEncodingStyle)));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::AddFaultHeaderElemLiteral12(BSTR bstrNamespaceURI, BSTR bstrName,
                                                BSTR bstrLiteralXML,
                                                VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI,
                                                VARIANT_BOOL bRelay, BSTR bstrEncodingStyle,
                                                VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(handler_->AddFaultHeaderElemLiteral12(
        Text(bstrNamespaceURI), Text(bstrName), Text(bstrLiteralXML), IsTrue(bMustUnderstand),
        Text(bstrRoleURI), IsTrue(bRelay), Text(bstrEncodingStyle)));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetFirstFaultHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                   BSTR* pbstrLiteralXML,
                                                   VARIANT_BOOL* pbMustUnderstand,
                                                   BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle,
                                                   LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetFirstFaultHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrActorURI, nullptr, pbstrEncodingStyle},
                                pResult);
  });
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                  BSTR* pbstrLiteralXML,
                                                  VARIANT_BOOL* pbMustUnderstand,
                                                  BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle,
                                                  LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetNextFaultHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrActorURI, nullptr, pbstrEncodingStyle},
                                pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstFaultHeaderElemLiteral12(
    BSTR* pbstrNamespaceURI, BSTR* pbstrName, BSTR* pbstrLiteralXML,
    VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
    BSTR* pbstrEncodingStyle, LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetFirstFaultHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrRoleURI, pbRelay, pbstrEncodingStyle},
                                pResult);
  });
}

HRESULT qxsoapmsg2::GetNextFaultHeaderElemLiteral12(
    BSTR* pbstrNamespaceURI, BSTR* pbstrName, BSTR* pbstrLiteralXML,
    VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
    BSTR* pbstrEncodingStyle, LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetNextFaultHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrRoleURI, pbRelay, pbstrEncodingStyle},
                                pResult);
  });
}

HRESULT qxsoapmsg2::GetNumFaultDetailElems(LONG* plNumber) {
  *plNumber = handler_->GetNumFaultDetailElems();
  return S_OK;
}

HRESULT qxsoapmsg2::AddFaultDetailElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                       VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return AddResult(
        handler_->AddFaultDetailElem(Text(bstrNamespaceURI), Text(bstrName), &varContent),
        pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstFaultDetailElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                            VARIANT* pvarContent, LONG* plPosition,
                                            VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutDetail(handler_->GetFirstFaultDetailElem(*plPosition), pbstrNamespaceURI,
                         pbstrName, pvarContent, pResult);
  });
}

HRESULT qxsoapmsg2::GetNextFaultDetailElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                           VARIANT* pvarContent, LONG* plPosition,
                                           VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutDetail(handler_->GetNextFaultDetailElem(*plPosition), pbstrNamespaceURI,
                         pbstrName, pvarContent, pResult);
  });
}

HRESULT qxsoapmsg2::GetFaultDetailElem(BSTR bstrNamespaceURI, BSTR bstrName,
                                       VARIANT* pvarContent, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    bool found = false;
    const HRESULT hr = handler_->GetFaultDetailElem(Text(bstrNamespaceURI), Text(bstrName),
                                                    pvarContent, &found);
    *pResult = ToVariantBool(found);
    return hr;
  });
}

HRESULT qxsoapmsg2::ClearFaultDetailElems() {
  handler_->ClearFaultDetailElems();
  return S_OK;
}

}  // namespace qxsoap
