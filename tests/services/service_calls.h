// services/service_calls.h: the interop module registered in a registry
// file of the suite's own and loaded by path, and calls by method name as a
// late-bound client (or `qxsoap serve`) makes them.
#ifndef QXSOAP_TESTS_SERVICES_SERVICE_CALLS_H_
#define QXSOAP_TESTS_SERVICES_SERVICE_CALLS_H_

#include <string>
#include <string_view>
#include <vector>

#include "qxcom.h"
#include "support/struct_object_reader.h"
#include "support/variants.h"

namespace qxsoap::test {

inline constexpr OLECHAR kInteropProgId[] = u"qxsoap.InteropBase";

// One of the interop module's exports (null when it is missing).
void* InteropSymbol(const char* name);
template <typename Function = HRESULT (*)()>
Function InteropExport(const char* name) {
  return reinterpret_cast<Function>(InteropSymbol(name));
}

// A new interop service object created by ProgID (a test failure if not).
qxcom::ComPtr<IDispatch> CreateInteropService();

// What one Invoke gave back, the EXCEPINFO strings copied.
struct CallOutcome {
  HRESULT hr = E_FAIL;
  qxcom::Variant result;
  SCODE scode = 0;
  std::u16string description, source;
  UINT argError = ~0u;
};

// Looks `method` up with GetIDsOfNames and invokes it as DISPATCH_METHOD
// with `args` in declaration order (passed in DISPPARAMS in reverse order).
// A name that is not found gives its HRESULT as the outcome.
CallOutcome CallByName(IDispatch& object, std::u16string_view method, const std::vector<VARIANT*>& args);

// A one-dimensional VT_ARRAY | VT_VARIANT array holding copies of `items`.
qxcom::Variant VariantArray(const std::vector<const VARIANT*>& items);

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SERVICES_SERVICE_CALLS_H_
