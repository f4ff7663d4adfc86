// Iqxsoapmsg2: DIME attachments of the request and the response, the
// node's roles and the mustUnderstand blocks aimed at it.
#include "frame/automation_adapters.h"

namespace qxsoap {

using Handler = MessageHandler;

HRESULT qxsoapmsg2::AddDIMEAttachmentReq(BSTR bstrId, BSTR bstrType, LONG TNF, IUnknown* pIUnknown,
                                         VARIANT Options, VARIANT_BOOL* pResult) {
  return Answer(&Handler::AddDIMEAttachmentReq, pResult, Text(bstrId), Text(bstrType), TNF,
                pIUnknown, &Options);
}

HRESULT qxsoapmsg2::AddDIMEAttachmentResp(BSTR bstrId, BSTR bstrType, LONG TNF, IUnknown* pIUnknown,
                                          VARIANT Options, VARIANT_BOOL* pResult) {
  return Answer(&Handler::AddDIMEAttachmentResp, pResult, Text(bstrId), Text(bstrType), TNF,
                pIUnknown, &Options);
}

HRESULT qxsoapmsg2::GetFirstDIMEAttachmentReq(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                              IUnknown** ppIUnknown, VARIANT* Options,
                                              LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetFirstDIMEAttachmentReq, *plPosition, pResult,
                     AttachmentOuts{pbstrId, pbstrType, pTNF, ppIUnknown, Options});
}

HRESULT qxsoapmsg2::GetNextDIMEAttachmentReq(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                             IUnknown** ppIUnknown, VARIANT* Options,
                                             LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetNextDIMEAttachmentReq, *plPosition, pResult,
                     AttachmentOuts{pbstrId, pbstrType, pTNF, ppIUnknown, Options});
}

HRESULT qxsoapmsg2::GetFirstDIMEAttachmentResp(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                               IUnknown** ppIUnknown, VARIANT* Options,
                                               LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetFirstDIMEAttachmentResp, *plPosition, pResult,
                     AttachmentOuts{pbstrId, pbstrType, pTNF, ppIUnknown, Options});
}

HRESULT qxsoapmsg2::GetNextDIMEAttachmentResp(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                              IUnknown** ppIUnknown, VARIANT* Options,
                                              LONG* plPosition, VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetNextDIMEAttachmentResp, *plPosition, pResult,
                     AttachmentOuts{pbstrId, pbstrType, pTNF, ppIUnknown, Options});
}

HRESULT qxsoapmsg2::GetDIMEAttachmentReq(BSTR bstrId, BSTR* pbstrType, LONG* pTNF,
                                         IUnknown** ppIUnknown, VARIANT* Options,
                                         VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetDIMEAttachmentReq, Text(bstrId), pResult,
                     AttachmentOuts{nullptr, pbstrType, pTNF, ppIUnknown, Options});
}

HRESULT qxsoapmsg2::GetDIMEAttachmentResp(BSTR bstrId, BSTR* pbstrType, LONG* pTNF,
                                          IUnknown** ppIUnknown, VARIANT* Options,
                                          VARIANT_BOOL* pResult) {
  return HandOutFrom(&Handler::GetDIMEAttachmentResp, Text(bstrId), pResult,
                     AttachmentOuts{nullptr, pbstrType, pTNF, ppIUnknown, Options});
}

HRESULT qxsoapmsg2::GetNumReqAttachments(LONG* pNbr) {
  return Number(&Handler::GetNumReqAttachments, pNbr);
}

HRESULT qxsoapmsg2::GetNumRespAttachments(LONG* pNbr) {
  return Number(&Handler::GetNumRespAttachments, pNbr);
}

HRESULT qxsoapmsg2::SetRoles(VARIANT varRoles, VARIANT_BOOL* pResult) {
  return Answer(&Handler::SetRoles, pResult, &varRoles);
}

HRESULT qxsoapmsg2::GetRoles(VARIANT* pvarRoles) {
  return AtBoundary([&] { return handler_->GetRoles(pvarRoles); });
}

HRESULT qxsoapmsg2::GetMUHeaderBlocks(VARIANT* pvarBlocks) {
  return AtBoundary([&] { return handler_->GetMUHeaderBlocks(pvarBlocks); });
}

}  // namespace qxsoap
