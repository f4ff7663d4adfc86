// Iqxsoapmsg2: the exchange's processing steps and its scalar state.
#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/automation_values.h"

namespace qxsoap {
namespace {

HRESULT Flag(bool flag, VARIANT_BOOL* result) {
  *result = ToVariantBool(flag);
  return S_OK;
}

}  // namespace

HRESULT qxsoapmsg2::Initialize(BSTR bstrSvcName, BSTR bstrPortName, BSTR bstrNodeURI,
                               BSTR bstrSOAPAction, BSTR bstrNextHopURL,
                               VARIANT_BOOL bExplicitTypingEnabled, VARIANT_BOOL bNodeTypeEnabled,
                               IDispatch* pIDispatch, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return Flag(handler_->Initialize(Text(bstrSvcName), Text(bstrPortName), Text(bstrNodeURI),
                                     Text(bstrSOAPAction), Text(bstrNextHopURL),
                                     IsTrue(bExplicitTypingEnabled), IsTrue(bNodeTypeEnabled),
                                     pIDispatch),
                pResult);
  });
}

HRESULT qxsoapmsg2::Deserialize(VARIANT_BOOL* pResult) {
  return AtBoundary([&] { return Flag(handler_->Deserialize(), pResult); });
}

HRESULT qxsoapmsg2::Serialize(VARIANT_BOOL* pResult) {
  return AtBoundary([&] { return Flag(handler_->Serialize(), pResult); });
}

HRESULT qxsoapmsg2::ProcessRPC(VARIANT_BOOL* pResult) {
  return AtBoundary([&] { return Flag(handler_->ProcessRPC(), pResult); });
}

HRESULT qxsoapmsg2::ProcessRPCGet(BSTR bstrSvcURI, BSTR bstrExtraPath, BSTR bstrQueryString,
                                  VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return Flag(handler_->ProcessRPCGet(Text(bstrSvcURI), Text(bstrExtraPath),
                                        Text(bstrQueryString)),
                pResult);
  });
}

HRESULT qxsoapmsg2::CheckMustUnderstand(VARIANT_BOOL* pResult) {
  return AtBoundary([&] { return Flag(handler_->CheckMustUnderstand(), pResult); });
}

HRESULT qxsoapmsg2::SetRequestPhase(VARIANT_BOOL bFlag) {
  handler_->SetRequestPhase(IsTrue(bFlag));
  return S_OK;
}

HRESULT qxsoapmsg2::IsRequestPhase(VARIANT_BOOL* pResult) {
  return Flag(handler_->IsRequestPhase(), pResult);
}

HRESULT qxsoapmsg2::IsIntermediary(VARIANT_BOOL* pResult) {
  return Flag(handler_->IsIntermediary(), pResult);
}

HRESULT qxsoapmsg2::IsRPCStyle(VARIANT_BOOL* pResult) {
  return AtBoundary([&] { return Flag(handler_->IsRPCStyle(), pResult); });
}

HRESULT qxsoapmsg2::IsNoContentResponse(VARIANT_BOOL* pResult) {
  return Flag(handler_->IsNoContentResponse(), pResult);
}

HRESULT qxsoapmsg2::SetNoContentResponse(VARIANT_BOOL bValue) {
  handler_->SetNoContentResponse(IsTrue(bValue));
  return S_OK;
}

HRESULT qxsoapmsg2::GetNextHopURL(BSTR* bstrNextHopURL) {
  return HandOutText(handler_->GetNextHopURL(), bstrNextHopURL);
}

HRESULT qxsoapmsg2::SetNextHopURL(BSTR bstrNextHopURL) {
  return AtBoundary([&] {
    handler_->SetNextHopURL(Text(bstrNextHopURL));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetNodeURI(BSTR* pbstrNodeURI) {
  return HandOutText(handler_->GetNodeURI(), pbstrNodeURI);
}

HRESULT qxsoapmsg2::SetNodeURI(BSTR bstrNodeURI) {
  return AtBoundary([&] {
    handler_->SetNodeURI(Text(bstrNodeURI));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetSOAPAction(BSTR* pbstrSOAPAction) {
  return HandOutText(handler_->GetSOAPAction(), pbstrSOAPAction);
}

HRESULT qxsoapmsg2::SetSOAPAction(BSTR bstrSOAPAction) {
  return AtBoundary([&] {
    handler_->SetSOAPAction(Text(bstrSOAPAction));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetMethodNS(BSTR* pbstrNS) {
  return HandOutText(handler_->GetMethodNS(), pbstrNS);
}

HRESULT qxsoapmsg2::SetMethodNS(BSTR bstrNS) {
  return AtBoundary([&] {
    handler_->SetMethodNS(Text(bstrNS));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetMethodName(BSTR* pbstrName) {
  return HandOutText(handler_->GetMethodName(), pbstrName);
}

HRESULT qxsoapmsg2::SetMethodName(BSTR bstrName) {
  return AtBoundary([&] {
    handler_->SetMethodName(Text(bstrName));
    return S_OK;
  });
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

HRESULT qxsoapmsg2::SetReturnValue(VARIANT varValue) {
  return handler_->SetReturnValue(&varValue);
}

HRESULT qxsoapmsg2::GetSOAPVersion(LONG* pVersion) {
  *pVersion = handler_->GetSOAPVersion();
  return S_OK;
}

HRESULT qxsoapmsg2::SetSOAPVersion(LONG lVersion) {
  handler_->SetSOAPVersion(lVersion);
  return S_OK;
}

}  // namespace qxsoap
