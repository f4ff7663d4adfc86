// Iqxsoapmsg2: the exchange's processing steps and its scalar state.
#include "frame/automation_adapters.h"

namespace qxsoap {

using Handler = MessageHandler;

HRESULT qxsoapmsg2::Initialize(BSTR bstrSvcName, BSTR bstrPortName, BSTR bstrNodeURI,
                               BSTR bstrSOAPAction, BSTR bstrNextHopURL,
                               VARIANT_BOOL bExplicitTypingEnabled, VARIANT_BOOL bNodeTypeEnabled,
                               IDispatch* pIDispatch, VARIANT_BOOL* pResult) {
  return Answer(&Handler::Initialize, pResult, Text(bstrSvcName), Text(bstrPortName),
                Text(bstrNodeURI), Text(bstrSOAPAction), Text(bstrNextHopURL),
                IsTrue(bExplicitTypingEnabled), IsTrue(bNodeTypeEnabled), pIDispatch);
}

HRESULT qxsoapmsg2::Deserialize(VARIANT_BOOL* pResult) {
  return Answer(&Handler::Deserialize, pResult);
}

HRESULT qxsoapmsg2::Serialize(VARIANT_BOOL* pResult) {
  return Answer(&Handler::Serialize, pResult);
}

HRESULT qxsoapmsg2::ProcessRPC(VARIANT_BOOL* pResult) {
  return Answer(&Handler::ProcessRPC, pResult);
}

HRESULT qxsoapmsg2::ProcessRPCGet(BSTR bstrSvcURI, BSTR bstrExtraPath, BSTR bstrQueryString,
                                  VARIANT_BOOL* pResult) {
  return Answer(&Handler::ProcessRPCGet, pResult, Text(bstrSvcURI), Text(bstrExtraPath),
                Text(bstrQueryString));
}

HRESULT qxsoapmsg2::CheckMustUnderstand(VARIANT_BOOL* pResult) {
  return Answer(&Handler::CheckMustUnderstand, pResult);
}

HRESULT qxsoapmsg2::SetRequestPhase(VARIANT_BOOL bFlag) {
  return Run(&Handler::SetRequestPhase, IsTrue(bFlag));
}

HRESULT qxsoapmsg2::IsRequestPhase(VARIANT_BOOL* pResult) {
  return Answer(&Handler::IsRequestPhase, pResult);
}

HRESULT qxsoapmsg2::IsIntermediary(VARIANT_BOOL* pResult) {
  return Answer(&Handler::IsIntermediary, pResult);
}

HRESULT qxsoapmsg2::IsRPCStyle(VARIANT_BOOL* pResult) {
  return Answer(&Handler::IsRPCStyle, pResult);
}

HRESULT qxsoapmsg2::IsNoContentResponse(VARIANT_BOOL* pResult) {
  return Answer(&Handler::IsNoContentResponse, pResult);
}

HRESULT qxsoapmsg2::SetNoContentResponse(VARIANT_BOOL bValue) {
  return Run(&Handler::SetNoContentResponse, IsTrue(bValue));
}

HRESULT qxsoapmsg2::GetNextHopURL(BSTR* bstrNextHopURL) {
  return HandOutText(handler_->GetNextHopURL(), bstrNextHopURL);
}

HRESULT qxsoapmsg2::SetNextHopURL(BSTR bstrNextHopURL) {
  return Run(&Handler::SetNextHopURL, Text(bstrNextHopURL));
}

HRESULT qxsoapmsg2::GetNodeURI(BSTR* pbstrNodeURI) {
  return HandOutText(handler_->GetNodeURI(), pbstrNodeURI);
}

HRESULT qxsoapmsg2::SetNodeURI(BSTR bstrNodeURI) {
  return Run(&Handler::SetNodeURI, Text(bstrNodeURI));
}

HRESULT qxsoapmsg2::GetSOAPAction(BSTR* pbstrSOAPAction) {
  return HandOutText(handler_->GetSOAPAction(), pbstrSOAPAction);
}

HRESULT qxsoapmsg2::SetSOAPAction(BSTR bstrSOAPAction) {
  return Run(&Handler::SetSOAPAction, Text(bstrSOAPAction));
}

HRESULT qxsoapmsg2::GetMethodNS(BSTR* pbstrNS) {
  return HandOutText(handler_->GetMethodNS(), pbstrNS);
}

HRESULT qxsoapmsg2::SetMethodNS(BSTR bstrNS) { return Run(&Handler::SetMethodNS, Text(bstrNS)); }

HRESULT qxsoapmsg2::GetMethodName(BSTR* pbstrName) {
  return HandOutText(handler_->GetMethodName(), pbstrName);
}

HRESULT qxsoapmsg2::SetMethodName(BSTR bstrName) {
  return Run(&Handler::SetMethodName, Text(bstrName));
}

HRESULT qxsoapmsg2::GetServiceName(BSTR* pbstrServiceName) {
  return HandOutText(handler_->GetServiceName(), pbstrServiceName);
}

HRESULT qxsoapmsg2::GetPortName(BSTR* pbstrPortName) {
  return HandOutText(handler_->GetPortName(), pbstrPortName);
}

HRESULT qxsoapmsg2::GetPortAddress(BSTR* pbstrAddress) {
  return AtBoundary([&] { return HandOutText(handler_->GetPortAddress(), pbstrAddress); });
}

HRESULT qxsoapmsg2::GetReturnValue(VARIANT* pvarValue) {
  return handler_->GetReturnValue(pvarValue);
}

HRESULT qxsoapmsg2::SetReturnValue(VARIANT varValue) { return handler_->SetReturnValue(&varValue); }

HRESULT qxsoapmsg2::GetSOAPVersion(LONG* pVersion) {
  return Number(&Handler::GetSOAPVersion, pVersion);
}

HRESULT qxsoapmsg2::SetSOAPVersion(LONG lVersion) {
  return Run(&Handler::SetSOAPVersion, lVersion);
}

}  // namespace qxsoap
