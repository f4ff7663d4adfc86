// Iqxsoapmsg2: the call's parameters and the literal body.
#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/automation_values.h"

namespace qxsoap {

HRESULT qxsoapmsg2::GetNumMethodParams(LONG* plNumber) {
  *plNumber = handler_->GetNumMethodParams();
  return S_OK;
}

HRESULT qxsoapmsg2::AddMethodParam(BSTR bstrNamespaceURI, BSTR bstrName, VARIANT varContent,
                                   VARIANT_BOOL bIsInParam, VARIANT_BOOL bIsOutParam,
                                   VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return AddResult(handler_->AddMethodParam(Text(bstrNamespaceURI), Text(bstrName), &varContent,
                                              IsTrue(bIsInParam), IsTrue(bIsOutParam)),
                     pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstMethodParam(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                        VARIANT* pvarContent, VARIANT_BOOL* pbIsInParam,
                                        VARIANT_BOOL* pbIsOutParam, LONG* plPosition,
                                        VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutParam(handler_->GetFirstMethodParam(*plPosition), pbstrNamespaceURI, pbstrName,
                        pvarContent, pbIsInParam, pbIsOutParam, pResult);
  });
}

HRESULT qxsoapmsg2::GetNextMethodParam(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
                                       VARIANT* pvarContent, VARIANT_BOOL* pbIsInParam,
                                       VARIANT_BOOL* pbIsOutParam, LONG* plPosition,
                                       VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutParam(handler_->GetNextMethodParam(*plPosition), pbstrNamespaceURI, pbstrName,
                        pvarContent, pbIsInParam, pbIsOutParam, pResult);
  });
}

HRESULT qxsoapmsg2::ClearMethodParams() {
  handler_->ClearMethodParams();
  return S_OK;
}

HRESULT qxsoapmsg2::SetBodyElemLiteral(BSTR bstrLiteralXML, BSTR bstrEncodingStyle,
                                       VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(
        handler_->SetBodyElemLiteral(Text(bstrLiteralXML), Text(bstrEncodingStyle)));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetBodyElemLiteral(BSTR* pbstrLiteralXML, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    std::u16string literalXML;
    const bool found = handler_->GetBodyElemLiteral(&literalXML);
    *pResult = ToVariantBool(found);
    OutWriter out;
    if (found) out.Text(literalXML, pbstrLiteralXML);
    return out.Result();
  });
}

}  // namespace qxsoap
