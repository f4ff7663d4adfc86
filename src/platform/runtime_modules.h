// The in-process server libraries that object creation has loaded.
#ifndef QXSOAP_PLATFORM_RUNTIME_MODULES_H_
#define QXSOAP_PLATFORM_RUNTIME_MODULES_H_

#include <string>

#include "qxcom/unknwn.h"

namespace qxcom {

// Loads the library at `path` (once per path, kept loaded) and asks its
// DllGetClassObject for the class object of `clsid` as `iid`.
// CO_E_DLLNOTFOUND when the library cannot be loaded, CO_E_ERRORINDLL when
// it has no DllGetClassObject, else what DllGetClassObject returns.
HRESULT GetModuleClassObject(const std::string& path, REFCLSID clsid, REFIID iid, void** object);

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_RUNTIME_MODULES_H_
