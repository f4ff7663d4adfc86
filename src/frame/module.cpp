// The module's exports: the class object, the unload check, registration,
// and the version record (Linux has no version resource).
#include "frame/at_boundary.h"
#include "frame/class_factory.h"
#include "frame/module_lock.h"
#include "frame/registration.h"
#include "qxsoapmsg.h"

namespace {

// "qxsoapmsg.dll" is the module's name on the platform it comes from; hosts
// that show or compare the version record see the same strings there.
constexpr QxsoapVersionInfo kVersionInfo = {
    "2.2.0.1", "2.2.0.1", "qxsoapmsg Module", "qxsoapmsg.dll", "qxsoapmsg.dll",
    "Supports SOAP 1.1 and 1.2",
};

}  // namespace

extern "C" {

const QxsoapVersionInfo* QxsoapGetVersionInfo() { return &kVersionInfo; }

HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = qxsoap::ClassFactory(clsid);
  if (!factory) return CLASS_E_CLASSNOTAVAILABLE;
  return factory->QueryInterface(iid, object);
}

HRESULT DllCanUnloadNow() { return qxsoap::ModuleLockCount() == 0 ? S_OK : S_FALSE; }

HRESULT DllRegisterServer() {
  return qxsoap::AtBoundary([] {
    const std::u16string path = qxsoap::ModulePath();
    return path.empty() ? E_FAIL : qxsoap::RegisterModule(path);
  });
}

HRESULT DllUnregisterServer() {
  return qxsoap::AtBoundary([] { return qxsoap::UnregisterModule(); });
}

}  // extern "C"
