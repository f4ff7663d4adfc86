// The life of a struct object, its interface query, its members and its
// IDispatch.
#include "frame/struct_object_component.h"

#include <new>
#include <utility>

#include "frame/at_boundary.h"
#include "frame/automation_values.h"
#include "frame/dispatch.h"
#include "frame/module_lock.h"

namespace qxsoap {

HRESULT StructObjectComponent::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* created = new (std::nothrow) StructObjectComponent();
  if (!created) return E_OUTOFMEMORY;
  // Hold a reference across the query, so that a failed query frees it.
  created->AddRef();
  const HRESULT hr = created->QueryInterface(iid, object);
  created->Release();
  return hr;
}

StructObjectComponent::StructObjectComponent() { LockModule(); }

StructObjectComponent::~StructObjectComponent() { UnlockModule(); }

HRESULT StructObjectComponent::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_StructObject) {
    *object = static_cast<StructObject*>(this);
    AddRef();
    return S_OK;
  }
  if (iid == kIID_StructMemberList) {
    *object = static_cast<StructMemberList*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG StructObjectComponent::AddRef() { return ++refCount_; }

ULONG StructObjectComponent::Release() {
  if (refCount_ == 0) return 0;  // a stray Release must not free twice
  if (--refCount_ > 0) return refCount_;
  delete this;
  return 0;
}

HRESULT StructObjectComponent::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT StructObjectComponent::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT StructObjectComponent::GetIDsOfNames(REFIID reserved, LPOLESTR* names, UINT count, LCID,
                                             DISPID* ids) {
  if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return GetMemberIds(StructObjectInterface(), names, count, ids);
}

HRESULT StructObjectComponent::Invoke(DISPID member, REFIID reserved, LCID, WORD flags,
                                      DISPPARAMS* args, VARIANT* result, EXCEPINFO* exception,
                                      UINT* argError) {
  return InvokeMember(StructObjectInterface(), *this, member, reserved, flags, args, result,
                      exception, argError);
}

HRESULT StructObjectComponent::AddMember(BSTR name, BSTR namespaceURI, VARIANT value,
                                         VARIANT_BOOL* result) {
  if (result) *result = VARIANT_FALSE;
  return AtBoundary([&] {
    if (HRESULT hr = Add(Text(name), Text(namespaceURI), value); FAILED(hr)) return hr;
    if (result) *result = VARIANT_TRUE;
    return S_OK;
  });
}

HRESULT StructObjectComponent::FirstMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                           LONG* position, VARIANT_BOOL* present) {
  if (!name || !namespaceURI || !value || !position || !present) return E_POINTER;
  next_ = 0;
  return HandOutNext(name, namespaceURI, value, position, present);
}

HRESULT StructObjectComponent::NextMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                          LONG* position, VARIANT_BOOL* present) {
  if (!name || !namespaceURI || !value || !position || !present) return E_POINTER;
  return HandOutNext(name, namespaceURI, value, position, present);
}

// Every copy is made before anything is written, so a failed copy leaves the
// caller's variables (but *present, which says VARIANT_FALSE) and the cursor
// as they were; a caller looping while *present is VARIANT_TRUE stops.
HRESULT StructObjectComponent::HandOutNext(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                           LONG* position, VARIANT_BOOL* present) {
  *present = VARIANT_FALSE;
  if (next_ >= Members().size()) return S_OK;
  const Member& member = Members()[next_];
  qxcom::Variant copy;
  if (HRESULT hr = VariantCopy(copy.get(), member.value.get()); FAILED(hr)) return hr;
  qxcom::Bstr nameCopy(SysAllocStringLen(member.Name().data(), UINT(member.Name().size())));
  qxcom::Bstr namespaceCopy(
      SysAllocStringLen(member.NamespaceURI().data(), UINT(member.NamespaceURI().size())));
  if (!nameCopy.get() || !namespaceCopy.get()) return E_OUTOFMEMORY;
  if (HRESULT hr = VariantClear(value); FAILED(hr)) return hr;
  copy.Detach(value);
  *name = nameCopy.release();
  *namespaceURI = namespaceCopy.release();
  *position = LONG(next_);
  *present = VARIANT_TRUE;
  ++next_;
  return S_OK;
}

}  // namespace qxsoap
