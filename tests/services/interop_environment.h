// services/interop_environment.h: the interop module registered in a
// registry file of the suite's own, loaded by path, and the handler's
// struct component available by CLSID, as a host that registered both
// modules would find them.
#ifndef QXSOAP_TESTS_SERVICES_INTEROP_ENVIRONMENT_H_
#define QXSOAP_TESTS_SERVICES_INTEROP_ENVIRONMENT_H_

#include "qxcom.h"

namespace qxsoap::test {

inline constexpr OLECHAR kInteropProgId[] = u"qxsoap.InteropBase";

// One of the interop module's exports, looked up in the loaded module
// (null when it is missing).
void* InteropSymbol(const char* name);
template <typename Function = HRESULT (*)()>
Function InteropExport(const char* name) {
  return reinterpret_cast<Function>(InteropSymbol(name));
}

// A new interop service object created by ProgID, or null (with a test
// failure) when creation fails.
qxcom::ComPtr<IDispatch> CreateInteropService();

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SERVICES_INTEROP_ENVIRONMENT_H_
