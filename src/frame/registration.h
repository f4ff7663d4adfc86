// Registration of the module: the scripts of resources/registration_scripts.h
// applied to HKEY_CLASSES_ROOT of the platform's registry.
#ifndef QXSOAP_FRAME_REGISTRATION_H_
#define QXSOAP_FRAME_REGISTRATION_H_

#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxsoap {

// Writes the application entry, the class and the interface description,
// with `modulePath` as the in-process server. Stops at the first failing
// registry call and returns it as an HRESULT (HRESULT_FROM_WIN32: for
// example ERROR_BADDB for a registry file that cannot be read); S_OK when
// everything was written.
HRESULT RegisterModule(std::u16string_view modulePath);

// Removes what RegisterModule wrote: the class and the interface
// description, then the application entry. Shared parents (AppID, CLSID,
// TypeLib, Interface) stay, and so does a key that still holds subkeys the
// scripts do not name (another program's). Keys already gone are no error.
// Runs every step and returns the first failure, else S_OK.
HRESULT UnregisterModule();

// The absolute path of the shared library (or program) this code is linked
// into; empty when it cannot be found.
std::u16string ModulePath();

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_REGISTRATION_H_
