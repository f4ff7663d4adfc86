// Iqxsoapmsg2: the call's parameters and the literal body.
#include "frame/automation_adapters.h"

namespace qxsoap {

using Handler = MessageHandler;

HRESULT qxsoapmsg2::GetNumMethodParams(LONG* plNumber) {
  return Number(&Handler::GetNumMethodParams, plNumber);
}

HRESULT qxsoapmsg2::AddMethodParam(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                   VARIANT_BOOL bIsInParam, VARIANT_BOOL bIsOutParam,
                                   VARIANT_BOOL* pResult) {
  return AddWithContent(&Handler::AddMethodParam, pResult, Text(bstrNamespaceURI), Text(bstrName),
                        &varContent, IsTrue(bIsInParam), IsTrue(bIsOutParam));
}

HRESULT qxsoapmsg2::GetFirstMethodParam(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                        VARIANT* pvarContent, VARIANT_BOOL* pbIsInParam,
                                        VARIANT_BOOL* pbIsOutParam, LONG* plPosition,
                                        VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetFirstMethodParam, *plPosition, pResult,
                     ParamOuts{{pbstrNamespaceURI, pbstrName}, pbIsInParam, pbIsOutParam},
                     pvarContent);
}

HRESULT qxsoapmsg2::GetNextMethodParam(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                       VARIANT* pvarContent, VARIANT_BOOL* pbIsInParam,
                                       VARIANT_BOOL* pbIsOutParam, LONG* plPosition,
                                       VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetNextMethodParam, *plPosition, pResult,
                     ParamOuts{{pbstrNamespaceURI, pbstrName}, pbIsInParam, pbIsOutParam},
                     pvarContent);
}

HRESULT qxsoapmsg2::ClearMethodParams() { return Run(&Handler::ClearMethodParams); }

HRESULT qxsoapmsg2::SetBodyElemLiteral(BSTR bstrLiteralXML, BSTR bstrEncodingStyle,
                                       VARIANT_BOOL* pResult) {
  return Answer(&Handler::SetBodyElemLiteral, pResult, Text(bstrLiteralXML),
                Text(bstrEncodingStyle));
}

HRESULT qxsoapmsg2::GetBodyElemLiteral(BSTR* pbstrLiteralXML, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    std::u16string literalXML;
    const bool found = handler_->GetBodyElemLiteral(&literalXML);
    *pResult = ToVariantBool(found);
    return found ? HandOutText(literalXML, pbstrLiteralXML) : S_OK;
  });
}

}  // namespace qxsoap
