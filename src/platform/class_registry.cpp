// The process's table of registered class objects, under one mutex.
#include "platform/class_registry.h"

#include <mutex>
#include <vector>

#include "qxcom/runtime.h"

namespace qxcom {
namespace {

constexpr DWORD kKnownFlags =
    REGCLS_MULTIPLEUSE | REGCLS_MULTI_SEPARATE | REGCLS_SUSPENDED | REGCLS_SURROGATE;

struct Registration {
  DWORD cookie;
  CLSID clsid;
  ComPtr<IUnknown> object;
  DWORD context;
  bool singleUse;
  bool suspended;
  bool usedUp;  // a single-use registration that has served its client
};

std::mutex tableMutex;
std::vector<Registration> registrations;
DWORD lastCookie = 0;

}  // namespace

HRESULT RegisterClassObject(REFCLSID clsid, IUnknown* object, DWORD context, DWORD flags,
                            DWORD* cookie) {
  if (cookie) *cookie = 0;
  if (!object || !cookie || (context & CLSCTX_ALL) == 0 || (flags & ~kKnownFlags) != 0) {
    return E_INVALIDARG;
  }
  bool singleUse = (flags & (REGCLS_MULTIPLEUSE | REGCLS_MULTI_SEPARATE)) == 0;
  ComPtr<IUnknown> held(object);
  std::lock_guard lock(tableMutex);
  if (++lastCookie == 0) ++lastCookie;  // 0 never names a registration
  registrations.push_back(
      {lastCookie, clsid, std::move(held), context, singleUse, (flags & REGCLS_SUSPENDED) != 0,
       false});
  *cookie = lastCookie;
  return S_OK;
}

HRESULT RevokeClassObject(DWORD cookie) {
  ComPtr<IUnknown> released;  // released after the lock, in case Release re-enters
  std::lock_guard lock(tableMutex);
  for (auto entry = registrations.begin(); entry != registrations.end(); ++entry) {
    if (entry->cookie == cookie) {
      released = std::move(entry->object);
      registrations.erase(entry);
      return S_OK;
    }
  }
  return CO_E_OBJNOTREG;
}

void ResumeClassObjects() {
  std::lock_guard lock(tableMutex);
  for (Registration& entry : registrations) entry.suspended = false;
}

ComPtr<IUnknown> FindClassObject(REFCLSID clsid, DWORD context) {
  std::lock_guard lock(tableMutex);
  for (auto entry = registrations.rbegin(); entry != registrations.rend(); ++entry) {
    if (entry->clsid != clsid || (entry->context & context) == 0 || entry->suspended ||
        entry->usedUp) {
      continue;
    }
    // A single-use class object serves one client, then stays registered
    // but invisible until it is revoked.
    entry->usedUp = entry->singleUse;
    return entry->object;
  }
  return {};
}

}  // namespace qxcom
