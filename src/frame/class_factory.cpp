// The class factory of qxsoapmsg2.
#include "frame/class_factory.h"

#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/module_lifetime.h"
#include "frame/module_lock.h"

namespace qxsoap {
namespace {

class Factory final : public ModuleLifetime<IClassFactory, IID_IClassFactory> {
 public:
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
