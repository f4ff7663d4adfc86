// The life of a qxsoapmsg2 object, its interface query and its IDispatch.
#include "frame/automation_object.h"

#include <new>

#include "frame/at_boundary.h"
#include "frame/dispatch.h"
#include "frame/module_lock.h"
#include "frame/type_info.h"
#include "rpc/production_engines.h"

namespace qxsoap {

HRESULT qxsoapmsg2::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  std::unique_ptr<MessageHandler> handler;
  try {
    handler = std::make_unique<MessageHandler>(ProductionEngines());
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
  auto* created = new (std::nothrow) qxsoapmsg2(outer, std::move(handler));
  if (!created) return E_FAIL;
  // Hold a reference across the query, so that a failed query frees it.
  created->inner_.AddRef();
  const HRESULT hr = created->inner_.QueryInterface(iid, object);
  created->inner_.Release();
  return hr;
}

qxsoapmsg2::qxsoapmsg2(IUnknown* outer, std::unique_ptr<MessageHandler> handler)
    : inner_(*this), controlling_(outer ? outer : &inner_), handler_(std::move(handler)) {
  LockModule();
}

qxsoapmsg2::~qxsoapmsg2() { UnlockModule(); }

HRESULT qxsoapmsg2::Inner::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  // Aggregated, the inner IUnknown is what the outer object holds; alone,
  // the object has one identity, the interface pointer itself.
  const bool aggregated = owner_.controlling_ != this;
  if (iid == IID_IUnknown && aggregated) {
    *object = this;
    AddRef();
    return S_OK;
  }
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_Iqxsoapmsg2) {
    Iqxsoapmsg2* automation = &owner_;
    *object = automation;
    automation->AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG qxsoapmsg2::Inner::AddRef() { return ++refCount_; }

ULONG qxsoapmsg2::Inner::Release() {
  if (refCount_ == 0) return 0;  // a stray Release must not free twice
  if (--refCount_ > 0) return refCount_;
  delete &owner_;
  return 0;
}

HRESULT qxsoapmsg2::QueryInterface(REFIID iid, void** object) {
  return controlling_->QueryInterface(iid, object);
}

ULONG qxsoapmsg2::AddRef() { return controlling_->AddRef(); }

ULONG qxsoapmsg2::Release() { return controlling_->Release(); }

HRESULT qxsoapmsg2::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT qxsoapmsg2::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *info = &InterfaceTypeInfo();
  (*info)->AddRef();
  return S_OK;
}

HRESULT qxsoapmsg2::GetIDsOfNames(REFIID reserved, LPOLESTR* names, UINT count, LCID,
                                  DISPID* ids) {
  if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return GetMemberIds(Iqxsoapmsg2Interface(), names, count, ids);
}

HRESULT qxsoapmsg2::Invoke(DISPID member, REFIID reserved, LCID, WORD flags, DISPPARAMS* args,
                           VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  return InvokeMember(Iqxsoapmsg2Interface(), *this, member, reserved, flags, args, result,
                      exception, argError);
}

}  // namespace qxsoap
