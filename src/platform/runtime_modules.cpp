// The cache of loaded in-process server libraries, keyed by path.
#include "platform/runtime_modules.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "qxcom/runtime.h"

namespace qxcom {
namespace {

std::mutex modulesMutex;
std::map<std::string, LPFNGETCLASSOBJECT> loadedModules;

LPFNGETCLASSOBJECT CachedEntry(const std::string& path) {
  std::lock_guard lock(modulesMutex);
  auto found = loadedModules.find(path);
  return found == loadedModules.end() ? nullptr : found->second;
}

// Loads the library and finds its entry point. The library's constructors
// run here, outside the cache lock, so that they may use the runtime.
HRESULT LoadEntry(const std::string& path, LPFNGETCLASSOBJECT* entry) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return CO_E_DLLNOTFOUND;
  auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(library, "DllGetClassObject"));
  if (!getClassObject) {
    dlclose(library);
    return CO_E_ERRORINDLL;
  }
  // Two threads may load the same path at once; dlopen counts references,
  // and the library stays loaded either way, so the loser's handle is
  // simply kept open.
  std::lock_guard lock(modulesMutex);
  *entry = loadedModules.try_emplace(path, getClassObject).first->second;
  return S_OK;
}

}  // namespace

HRESULT GetModuleClassObject(const std::string& path, REFCLSID clsid, REFIID iid, void** object) {
  LPFNGETCLASSOBJECT entry = CachedEntry(path);
  if (!entry) {
    if (HRESULT hr = LoadEntry(path, &entry); FAILED(hr)) return hr;
  }
  return entry(clsid, iid, object);
}

}  // namespace qxcom
