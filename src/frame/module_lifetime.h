// The IUnknown of the module's static objects (the class factory, the type
// description): they live as long as the module, so no count is kept.
#ifndef QXSOAP_FRAME_MODULE_LIFETIME_H_
#define QXSOAP_FRAME_MODULE_LIFETIME_H_

#include "qxcom/unknwn.h"

namespace qxsoap {

// Answers IUnknown and `kIid` with the object itself; E_NOINTERFACE and a
// null *object for anything else, E_POINTER for a null `object`.
template <typename Interface, const IID& kIid>
class ModuleLifetime : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = iid == IID_IUnknown || iid == kIid ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_MODULE_LIFETIME_H_
