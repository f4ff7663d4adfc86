// The exports of a service module: its class factories and its
// registration, from the module's list of ServiceClass.
#include <string>
#include <vector>

#include "qxsoap/service_object.h"

namespace qxsoap::service {
namespace {

using qxcom::KeyRemoval;
using qxcom::ScriptKey;
using qxcom::ScriptRun;
using qxcom::ScriptVariable;

// What one class writes below HKEY_CLASSES_ROOT, parents first.
constexpr ScriptKey kClassScript[] = {
    {u"%VERPROGID%", {{nullptr, u"%DESCRIPTION%"}}, false, KeyRemoval::kKey},
    {u"%VERPROGID%\\CLSID", {{nullptr, u"%CLSID%"}}, false, KeyRemoval::kKey},
    {u"%PROGID%", {{nullptr, u"%DESCRIPTION%"}}, false, KeyRemoval::kKey},
    {u"%PROGID%\\CLSID", {{nullptr, u"%CLSID%"}}, false, KeyRemoval::kKey},
    {u"%PROGID%\\CurVer", {{nullptr, u"%VERPROGID%"}}, false, KeyRemoval::kKey},
    {u"CLSID", {}, false, KeyRemoval::kNever},
    {u"CLSID\\%CLSID%", {{nullptr, u"%DESCRIPTION%"}}, true, KeyRemoval::kTree},
    {u"CLSID\\%CLSID%\\ProgID", {{nullptr, u"%VERPROGID%"}}, false, KeyRemoval::kKey},
    {u"CLSID\\%CLSID%\\VersionIndependentProgID", {{nullptr, u"%PROGID%"}}, false,
     KeyRemoval::kKey},
    {u"CLSID\\%CLSID%\\Programmable", {}, true, KeyRemoval::kKey},
    {u"CLSID\\%CLSID%\\InprocServer32",
     {{nullptr, u"%MODULE%"}, {u"ThreadingModel", u"Apartment"}}, false, KeyRemoval::kKey},
};

// The class factory of one class: made on request, counted like any object.
class Factory final : public IClassFactory {
 public:
  Factory(const ServiceClass& serviceClass, ModuleLock& lock)
      : class_(serviceClass), lock_(lock) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refCount_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refCount_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    return class_.create(lock_, class_.progId, outer, iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      lock_.Lock();
    } else {
      lock_.Unlock();
    }
    return S_OK;
  }

 private:
  const ServiceClass& class_;
  ModuleLock& lock_;
  std::atomic<ULONG> refCount_{0};
};

std::vector<ScriptVariable> ClassVariables(const ServiceClass& serviceClass,
                                           std::u16string_view modulePath) {
  return {
      {u"%MODULE%", std::u16string(modulePath)},
      {u"%CLSID%", qxcom::BracedGuid(*serviceClass.clsid)},
      {u"%PROGID%", serviceClass.progId},
      {u"%VERPROGID%", serviceClass.versionedProgId},
      {u"%DESCRIPTION%", serviceClass.description},
  };
}

// Applies the class script of every class with its own variables, in one
// transaction.
template <typename Apply>
HRESULT ForAllClasses(std::span<const ServiceClass> classes, std::u16string_view modulePath,
                      Apply apply) noexcept {
  try {
    std::vector<std::vector<ScriptVariable>> variables;
    std::vector<ScriptRun> runs;
    variables.reserve(classes.size());
    for (const ServiceClass& serviceClass : classes) {
      variables.push_back(ClassVariables(serviceClass, modulePath));
      runs.push_back({kClassScript, variables.back()});
    }
    return apply(runs);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace

HRESULT GetClassObject(std::span<const ServiceClass> classes, ModuleLock& lock, REFCLSID clsid,
                       REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const ServiceClass& serviceClass : classes) {
    if (*serviceClass.clsid != clsid) continue;
    auto* factory = new (std::nothrow) Factory(serviceClass, lock);
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT RegisterClasses(std::span<const ServiceClass> classes, const void* moduleAddress) {
  std::u16string path;
  try {
    path = qxcom::ModulePathOf(moduleAddress);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
  if (path.empty()) return E_FAIL;
  return ForAllClasses(classes, path, [](std::span<const ScriptRun> runs) {
    return qxcom::RegisterScripts(runs);
  });
}

HRESULT UnregisterClasses(std::span<const ServiceClass> classes) {
  return ForAllClasses(classes, u"", [](std::span<const ScriptRun> runs) {
    return qxcom::UnregisterScripts(runs);
  });
}

}  // namespace qxsoap::service
