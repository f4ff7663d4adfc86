// Iqxsoapmsg2: DIME attachments of the request and the response, the
// node's roles and the mustUnderstand blocks aimed at it.
#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/automation_values.h"

namespace qxsoap {

HRESULT qxsoapmsg2::AddDIMEAttachmentReq(BSTR bstrId, BSTR bstrType, LONG TNF,
                                         IUnknown* pIUnknown, VARIANT Options,
                                         VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(
        handler_->AddDIMEAttachmentReq(Text(bstrId), Text(bstrType), TNF, pIUnknown, &Options));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::AddDIMEAttachmentResp(BSTR bstrId, BSTR bstrType, LONG TNF,
                                          IUnknown* pIUnknown, VARIANT Options,
                                          VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(
        handler_->AddDIMEAttachmentResp(Text(bstrId), Text(bstrType), TNF, pIUnknown, &Options));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetFirstDIMEAttachmentReq(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                              IUnknown** ppIUnknown, VARIANT* Options,
                                              LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutAttachment(handler_->GetFirstDIMEAttachmentReq(*plPosition),
                             {pbstrId, pbstrType, pTNF, ppIUnknown, Options}, pResult);
  });
}

HRESULT qxsoapmsg2::GetNextDIMEAttachmentReq(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                             IUnknown** ppIUnknown, VARIANT* Options,
                                             LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutAttachment(handler_->GetNextDIMEAttachmentReq(*plPosition),
                             {pbstrId, pbstrType, pTNF, ppIUnknown, Options}, pResult);
  });
}

HRESULT qxsoapmsg2::GetFirstDIMEAttachmentResp(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                               IUnknown** ppIUnknown, VARIANT* Options,
                                               LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutAttachment(handler_->GetFirstDIMEAttachmentResp(*plPosition),
                             {pbstrId, pbstrType, pTNF, ppIUnknown, Options}, pResult);
  });
}

HRESULT qxsoapmsg2::GetNextDIMEAttachmentResp(BSTR* pbstrId, BSTR* pbstrType, LONG* pTNF,
                                              IUnknown** ppIUnknown, VARIANT* Options,
                                              LONG* plPosition, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutAttachment(handler_->GetNextDIMEAttachmentResp(*plPosition),
                             {pbstrId, pbstrType, pTNF, ppIUnknown, Options}, pResult);
  });
}

HRESULT qxsoapmsg2::GetDIMEAttachmentReq(BSTR bstrId, BSTR* pbstrType, LONG* pTNF,
                                         IUnknown** ppIUnknown, VARIANT* Options,
                                         VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutAttachment(handler_->GetDIMEAttachmentReq(Text(bstrId)),
                             {nullptr, pbstrType, pTNF, ppIUnknown, Options}, pResult);
  });
}

HRESULT qxsoapmsg2::GetDIMEAttachmentResp(BSTR bstrId, BSTR* pbstrType, LONG* pTNF,
                                          IUnknown** ppIUnknown, VARIANT* Options,
                                          VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    return HandOutAttachment(handler_->GetDIMEAttachmentResp(Text(bstrId)),
                             {nullptr, pbstrType, pTNF, ppIUnknown, Options}, pResult);
  });
}

HRESULT qxsoapmsg2::GetNumReqAttachments(LONG* pNbr) {
  *pNbr = handler_->GetNumReqAttachments();
  return S_OK;
}

HRESULT qxsoapmsg2::GetNumRespAttachments(LONG* pNbr) {
  *pNbr = handler_->GetNumRespAttachments();
  return S_OK;
}

HRESULT qxsoapmsg2::SetRoles(VARIANT varRoles, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = ToVariantBool(handler_->SetRoles(&varRoles));
    return S_OK;
  });
}

HRESULT qxsoapmsg2::GetRoles(VARIANT* pvarRoles) {
  return AtBoundary([&] { return handler_->GetRoles(pvarRoles); });
}

HRESULT qxsoapmsg2::GetMUHeaderBlocks(VARIANT* pvarBlocks) {
  return AtBoundary([&] { return handler_->GetMUHeaderBlocks(pvarBlocks); });
}

}  // namespace qxsoap
