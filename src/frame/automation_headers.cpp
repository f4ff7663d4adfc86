// Iqxsoapmsg2: the message's header blocks, typed and literal, in their
// SOAP 1.1 and SOAP 1.2 forms.
#include "frame/automation_adapters.h"

namespace qxsoap {

using Handler = MessageHandler;

// The `received` flag of the SOAP 1.2 adds: a block the host adds was not
// read from a message.
constexpr bool kAddedByHost = false;

HRESULT qxsoapmsg2::GetNumHeaderElems(LONG* plNumber) {
  return Number(&Handler::GetNumHeaderElems, plNumber);
}

HRESULT qxsoapmsg2::AddHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                  VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
                                  VARIANT_BOOL* pResult) {
  return AddWithContent(&Handler::AddHeaderElem, pResult, Text(bstrNamespaceURI), Text(bstrName),
                        &varContent, IsTrue(bMustUnderstand), Text(bstrActorURI));
}

HRESULT qxsoapmsg2::AddHeaderElem12(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                    VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI,
                                    VARIANT_BOOL bRelay, VARIANT_BOOL* pResult) {
  return AddWithContent(&Handler::AddHeaderElem12, pResult, Text(bstrNamespaceURI), Text(bstrName),
                        &varContent, IsTrue(bMustUnderstand), Text(bstrRoleURI), IsTrue(bRelay),
                        kAddedByHost);
}

// The SOAP 1.1 cursor forms are the SOAP 1.2 forms without the relay
// out-parameter: a null relay is left unwritten.
HRESULT qxsoapmsg2::GetFirstHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                       VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                       BSTR* pbstrActorURI, LONG* plPosition,
                                       VARIANT_BOOL* pResult) {
  return GetFirstHeaderElem12(pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                              pbstrActorURI, nullptr, plPosition, pResult);
}

HRESULT qxsoapmsg2::GetNextHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                      VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                      BSTR* pbstrActorURI, LONG* plPosition,
                                      VARIANT_BOOL* pResult) {
  return GetNextHeaderElem12(pbstrNamespaceURI, pbstrName, pvarContent, pbMustUnderstand,
                             pbstrActorURI, nullptr, plPosition, pResult);
}

HRESULT qxsoapmsg2::GetFirstHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                         VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                         BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay,
                                         LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetFirstHeaderElem, *plPosition, pResult,
      HeaderOuts{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
      pvarContent);
}

HRESULT qxsoapmsg2::GetNextHeaderElem12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                        VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
                                        BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, LONG* plPosition,
                                        VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetNextHeaderElem, *plPosition, pResult,
      HeaderOuts{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
      pvarContent);
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

HRESULT qxsoapmsg2::ClearHeaderElems() { return Run(&Handler::ClearHeaderElems); }

HRESULT qxsoapmsg2::GetNumHeaderElemsLiteral(LONG* plNumber) {
  return Number(&Handler::GetNumHeaderElemsLiteral, plNumber);
}

HRESULT qxsoapmsg2::AddHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName, BSTR bstrLiteralXML,
                                         VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
                                         BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) {
  return Answer(&Handler::AddHeaderElemLiteral, pResult, Text(bstrNamespaceURI), Text(bstrName),
                Text(bstrLiteralXML), IsTrue(bMustUnderstand), Text(bstrActorURI),
                Text(bstrEncodingStyle));
}

HRESULT qxsoapmsg2::AddHeaderElemLiteral12(BSTR bstrNamespaceURI, BSTR bstrName,
                                           BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand,
                                           BSTR bstrRoleURI, VARIANT_BOOL bRelay,
                                           BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) {
  return Answer(&Handler::AddHeaderElemLiteral12, pResult, Text(bstrNamespaceURI), Text(bstrName),
                Text(bstrLiteralXML), IsTrue(bMustUnderstand), Text(bstrRoleURI), IsTrue(bRelay),
                Text(bstrEncodingStyle), kAddedByHost);
}

HRESULT qxsoapmsg2::GetHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName,
                                         BSTR* pbstrLiteralXML, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    std::u16string literalXML;
    const bool found =
        handler_->GetHeaderElemLiteral(Text(bstrNamespaceURI), Text(bstrName), &literalXML);
    *pResult = ToVariantBool(found);
    return found ? HandOutText(literalXML, pbstrLiteralXML) : S_OK;
  });
}

HRESULT qxsoapmsg2::GetFirstHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                              BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
                                              BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle,
                                              LONG* plPosition, VARIANT_BOOL* pResult) {
  return GetFirstHeaderElemLiteral12(pbstrNamespaceURI, pbstrName, pbstrLiteralXML,
                                     pbMustUnderstand, pbstrActorURI, nullptr, pbstrEncodingStyle,
                                     plPosition, pResult);
}

HRESULT qxsoapmsg2::GetNextHeaderElemLiteral(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                             BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
                                             BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle,
                                             LONG* plPosition, VARIANT_BOOL* pResult) {
  return GetNextHeaderElemLiteral12(pbstrNamespaceURI, pbstrName, pbstrLiteralXML, pbMustUnderstand,
                                    pbstrActorURI, nullptr, pbstrEncodingStyle, plPosition,
                                    pResult);
}

HRESULT qxsoapmsg2::GetFirstHeaderElemLiteral12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                                BSTR* pbstrLiteralXML,
                                                VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrRoleURI,
                                                VARIANT_BOOL* pbRelay, BSTR* pbstrEncodingStyle,
                                                LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetFirstHeaderElemLiteral, *plPosition, pResult,
      LiteralHeaderOuts{{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
                        pbstrLiteralXML,
                        pbstrEncodingStyle});
}

HRESULT qxsoapmsg2::GetNextHeaderElemLiteral12(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                               BSTR* pbstrLiteralXML,
                                               VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrRoleURI,
                                               VARIANT_BOOL* pbRelay, BSTR* pbstrEncodingStyle,
                                               LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(
      &Handler::GetNextHeaderElemLiteral, *plPosition, pResult,
      LiteralHeaderOuts{{{pbstrNamespaceURI, pbstrName}, pbMustUnderstand, pbstrRoleURI, pbRelay},
                        pbstrLiteralXML,
                        pbstrEncodingStyle});
}

}  // namespace qxsoap
