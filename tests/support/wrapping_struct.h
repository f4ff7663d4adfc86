// support/wrapping_struct.h: a struct object of another implementation than
// the module's, for the paths that fill or read such objects through the
// StructObject methods alone.
#ifndef QXSOAP_TESTS_SUPPORT_WRAPPING_STRUCT_H_
#define QXSOAP_TESTS_SUPPORT_WRAPPING_STRUCT_H_

#include <utility>

#include "qxcom/owned.h"
#include "qxsoap/struct_object.h"
#include "support/dispatch_stub.h"

namespace qxsoap::test {

// Forwards AddMember, FirstMember and NextMember to `own`, one of the
// module's struct objects, which then holds the members. It keeps no
// reference count: whoever made it keeps it alive for as long as it is used.
class WrappingStruct final : public DispatchStub<StructObject> {
 public:
  explicit WrappingStruct(qxcom::ComPtr<StructObject> own) : own_(std::move(own)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_StructObject ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE AddMember(BSTR name, BSTR ns, VARIANT value, VARIANT_BOOL* stored) override {
    return own_->AddMember(name, ns, value, stored);
  }
  HRESULT STDMETHODCALLTYPE FirstMember(BSTR* name, BSTR* ns, VARIANT* value, LONG* at, VARIANT_BOOL* is) override {
    return own_->FirstMember(name, ns, value, at, is);
  }
  HRESULT STDMETHODCALLTYPE NextMember(BSTR* name, BSTR* ns, VARIANT* value, LONG* at, VARIANT_BOOL* is) override {
    return own_->NextMember(name, ns, value, at, is);
  }

 private:
  qxcom::ComPtr<StructObject> own_;
};

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SUPPORT_WRAPPING_STRUCT_H_
