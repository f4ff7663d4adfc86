// Iqxsoapmsg2: the message's header blocks, typed and literal, in their
// SOAP 1.1 and SOAP 1.2 forms.
#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/automation_values.h"

namespace qxsoap {

HRESULT qxsoapmsg2::GetNumHeaderElems(LONG* plNumber) {
  *plNumber = handler_->GetNumHeaderElems();
  return S_OK;
}

HRESULT qxsoapmsg2::AddHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                  VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
                                  VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return AddResult(handler_->AddHeaderElem(Text(bstrNamespaceURI), Text(bstrName), &varContent,
                                             IsTrue(bMustUnderstand), Text(bstrActorURI)),
                     pResult);
  });
}

HRESULT qxsoapmsg2::AddHeaderElem12(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                    VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI,
                                    VARIANT_BOOL bRelay, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return AddResult(
        handler_->AddHeaderElem12(Text(bstrNamespaceURI), Text(bstrName), &varContent,
                                  IsTrue(bMustUnderstand), Text(bstrRoleURI), IsTrue(bRelay)),
        pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                       VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                       BSTR* pbstrActorURI, LONG* plPosition,
                                       VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetFirstHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrActorURI, nullptr},
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetNextHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                      VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                      BSTR* pbstrActorURI, LONG* plPosition,
                                      VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetNextHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrActorURI, nullptr},
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                         VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                         BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                         LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetFirstHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrRoleURI, pbRelay},
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetNextHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                        VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                        BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                        LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutHeader(handler_->GetNextHeaderElem(*plPosition),
                         {pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                          pbstrRoleURI, pbRelay},
                         pResult);
  });
}

HRESULT qxsoapmsg2::GetHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT* pvarContent,
                                  VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    bool found = false;
    const HRESULT hr =
        handler_->GetHeaderElem(Text(bstrNamespaceURI), Text(bstrName), pvarContent, &found);
    *pResult = ToVariantBool(found);
    return hr;
  });
}

HRESULT qxsoapmsg2::ClearHeaderElems() {
  handler_->ClearHeaderElems();
  return S_OK;
}

HRESULT qxsoapmsg2::GetNumHeaderElemsLiteral(LONG* plNumber) {
  *plNumber = handler_->GetNumHeaderElemsLiteral();
  return S_OK;
}

HRESULT qxsoapmsg2::AddHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName,
                                         BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand,
                                         BSTR bstrActorURI, BSTR bstrEncodingStyle,
                                         VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(handler_->AddHeaderElemLiteral(
        Text(bstrNamespaceURI), Text(bstrName), Text(bstrLiteralXML), IsTrue(bMustUnderstand),
        Text(bstrActorURI), Text(bstrEncodingStyle)));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::AddHeaderElemLiteral12(BSTR bstrNamespaceURI, BSTR bstrName,
                                           BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand,
                                           BSTR bstrRoleURI, VARIANT_BOOL bRelay,
                                           BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(handler_->AddHeaderElemLiteral12(
        Text(bstrNamespaceURI), Text(bstrName), Text(bstrLiteralXML), IsTrue(bMustUnderstand),
        Text(bstrRoleURI), IsTrue(bRelay), Text(bstrEncodingStyle)));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName,
                                         BSTR* pbstrLiteralXML, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    std::u16string literalXML;
    const bool found =
        handler_->GetHeaderElemLiteral(Text(bstrNamespaceURI), Text(bstrName), &literalXML);
    *pResult = ToVariantBool(found);
    OutWriter out;
    if (found) out.Text(literalXML, pbstrLiteralXML);
    return out.Result();
  });
}

HRESULT qxsoapmsg2::GetFirstHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                              BSTR* pbstrLiteralXML,
                                              VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrActorURI,
                                              BSTR* pbstrEncodingStyle, LONG* plPosition,
                                              VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetFirstHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrActorURI, nullptr, pbstrEncodingStyle},
                                pResult);
  });
}

HRESULT qxsoapmsg2::GetNextHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                             BSTR* pbstrLiteralXML,
                                             VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrActorURI,
                                             BSTR* pbstrEncodingStyle, LONG* plPosition,
                                             VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetNextHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrActorURI, nullptr, pbstrEncodingStyle},
                                pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstHeaderElemLiteral12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                BSTR* pbstrLiteralXML,
                                                VARIANT_BOOL* pbMustUnderstand,
                                                BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                                BSTR* pbstrEncodingStyle, LONG* plPosition,
                                                VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetFirstHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrRoleURI, pbRelay, pbstrEncodingStyle},
                                pResult);
  });
}

HRESULT qxsoapmsg2::GetNextHeaderElemLiteral12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                               BSTR* pbstrLiteralXML,
                                               VARIANT_BOOL* pbMustUnderstand,
                                               BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                               BSTR* pbstrEncodingStyle, LONG* plPosition,
                                               VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutLiteralHeader(handler_->GetNextHeaderElemLiteral(*plPosition),
                                {pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                 pbstrRoleURI, pbRelay, pbstrEncodingStyle},
                                pResult);
  });
}

}  // namespace qxsoap
