// The class factory of qxsoapmsg2.
#include "frame/class_factory.h"

#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/module_lock.h"

namespace qxsoap {
namespace {

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    return AtBoundary([&] { return qxsoapmsg2::CreateInstance(outer, iid, object); });
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }
};

}  // namespace

IClassFactory& ClassFactory() {
  static Factory factory;
  return factory;
}

}  // namespace qxsoap
