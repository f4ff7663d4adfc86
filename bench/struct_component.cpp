#include "struct_component.h"

#include <qxsoapmsg.h>

#include <cstdlib>

namespace qxsoap::bench {

void RegisterStructComponent() {
  static const bool registered = [] {
    qxcom::ComPtr<IUnknown> factory;
    DWORD cookie = 0;
    return SUCCEEDED(DllGetClassObject(CLSID_StructObject, IID_IClassFactory,
                                       reinterpret_cast<void**>(factory.put()))) &&
           SUCCEEDED(CoRegisterClassObject(CLSID_StructObject, factory.get(),
                                           CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
  }();
  if (!registered) std::abort();
}

}  // namespace qxsoap::bench
