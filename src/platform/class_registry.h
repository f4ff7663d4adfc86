// The class objects that the process registered with CoRegisterClassObject.
#ifndef QXSOAP_PLATFORM_CLASS_REGISTRY_H_
#define QXSOAP_PLATFORM_CLASS_REGISTRY_H_

#include "qxcom/owned.h"
#include "qxcom/unknwn.h"

namespace qxcom {

// Registers `object` (AddRef'd) for `clsid`; see CoRegisterClassObject.
HRESULT RegisterClassObject(REFCLSID clsid, IUnknown* object, DWORD context, DWORD flags,
                            DWORD* cookie);

// Ends a registration; CO_E_OBJNOTREG for an unknown cookie.
HRESULT RevokeClassObject(DWORD cookie);

// Makes suspended registrations visible.
void ResumeClassObjects();

// The newest visible class object of `clsid` registered for a context in
// `context`, or null. A single-use registration is used up by being found.
ComPtr<IUnknown> FindClassObject(REFCLSID clsid, DWORD context);

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_CLASS_REGISTRY_H_
