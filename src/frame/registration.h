// Registration of the module: the scripts of resources/registration_scripts.h
// applied to HKEY_CLASSES_ROOT of the platform's registry.
#ifndef QXSOAP_FRAME_REGISTRATION_H_
#define QXSOAP_FRAME_REGISTRATION_H_

#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxsoap {

// Writes the application entry, the two classes (the handler and the
// struct component) and the interface description,
// with `modulePath` as the in-process server, as one registry transaction
// (QxRunRegistryTransaction): other processes see all of it or none. Stops
// at the first failing registry call, writes nothing and returns it as an
// HRESULT (HRESULT_FROM_WIN32: for example ERROR_BADDB for a registry file
// that cannot be read, ERROR_BUSY inside a caller's own transaction); S_OK
// when everything was written.
HRESULT RegisterModule(std::u16string_view modulePath);

// Removes what RegisterModule wrote: the classes and the interface
// description, then the application entry. Shared parents (AppID, CLSID,
// TypeLib, Interface) stay, and so does a key that still holds subkeys the
// scripts do not name (another program's). Keys already gone are no error.
// One registry transaction as for RegisterModule: on a failure nothing is
// removed and the first failure is returned, else S_OK.
HRESULT UnregisterModule();

// The absolute path of the shared library (or program) this code is linked
// into; empty when it cannot be found.
std::u16string ModulePath();

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_REGISTRATION_H_
