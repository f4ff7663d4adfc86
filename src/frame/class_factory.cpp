// The class factories of the module's classes.
#include "frame/class_factory.h"

#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/module_lifetime.h"
#include "frame/module_lock.h"
#include "frame/struct_object_component.h"

namespace qxsoap {
namespace {

// The factory of the class whose creation function is `Create`.
template <HRESULT (*Create)(IUnknown* outer, REFIID iid, void** object)>
class Factory final : public ModuleLifetime<IClassFactory, IID_IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    return AtBoundary([&] { return Create(outer, iid, object); });
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

IClassFactory* ClassFactory(REFCLSID clsid) {
  static Factory<&qxsoapmsg2::CreateInstance> handlerFactory;
  static Factory<&StructObjectComponent::CreateInstance> structFactory;
  if (clsid == CLSID_qxsoapmsg2) return &handlerFactory;
  if (clsid == CLSID_StructObject) return &structFactory;
  return nullptr;
}

}  // namespace qxsoap
