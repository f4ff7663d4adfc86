// Object creation: apartment calls, task memory, class object registration
// and lookup, and CoCreateInstance.
#include <cstdlib>

#include "platform/class_registry.h"
#include "platform/runtime_lookup.h"
#include "platform/runtime_guard.h"
#include "platform/runtime_modules.h"
#include "platform/string_conversion.h"
#include "qxcom/runtime.h"
#include "qxcom/winerror.h"

namespace {

HRESULT RegistryReadFailure(LONG error) {
  return error == ERROR_FILE_NOT_FOUND ? REGDB_E_CLASSNOTREG : REGDB_E_READREGDB;
}

// The library path registered as the class's in-process server.
HRESULT FindInprocServer(REFCLSID clsid, std::string* path) {
  std::u16string text;
  bool expandable = false;
  LONG error =
      qxcom::ReadClassesRootText(qxcom::ClassKeyPath(clsid) + u"\\InprocServer32", &text, &expandable);
  if (error != ERROR_SUCCESS) return RegistryReadFailure(error);
  if (text.empty()) return REGDB_E_CLASSNOTREG;
  *path = expandable ? qxcom::ExpandEnvironment(qxcom::ToUtf8(text)) : qxcom::ToUtf8(text);
  return S_OK;
}

}  // namespace

HRESULT CoInitialize(LPVOID) { return S_OK; }

HRESULT CoInitializeEx(LPVOID, DWORD) { return S_OK; }

void CoUninitialize() {}

LPVOID CoTaskMemAlloc(size_t size) { return std::malloc(size == 0 ? 1 : size); }

LPVOID CoTaskMemRealloc(LPVOID block, size_t size) {
  if (size == 0) {
    std::free(block);
    return nullptr;
  }
  return std::realloc(block, size);
}

void CoTaskMemFree(LPVOID block) { std::free(block); }

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* object, DWORD context, DWORD flags,
                              DWORD* cookie) {
  return qxcom::Guarded(E_OUTOFMEMORY, [&] {
    return qxcom::RegisterClassObject(clsid, object, context, flags, cookie);
  });
}

HRESULT CoRevokeClassObject(DWORD cookie) { return qxcom::RevokeClassObject(cookie); }

HRESULT CoResumeClassObjects() {
  qxcom::ResumeClassObjects();
  return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, COSERVERINFO*, REFIID iid,
                         LPVOID* object) {
  if (!object) return E_INVALIDARG;
  *object = nullptr;
  if ((context & CLSCTX_ALL) == 0) return E_INVALIDARG;
  if (qxcom::ComPtr<IUnknown> registered = qxcom::FindClassObject(clsid, context)) {
    return registered->QueryInterface(iid, object);
  }
  if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  return qxcom::Guarded(E_OUTOFMEMORY, [&] {
    std::string path;
    if (HRESULT hr = FindInprocServer(clsid, &path); FAILED(hr)) return hr;
    return qxcom::GetModuleClassObject(path, clsid, iid, object);
  });
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  qxcom::ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.put()));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(outer, iid, object);
}

void CoFreeUnusedLibraries() {}
