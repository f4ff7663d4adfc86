// host/serve/service_call.h: calling one operation of a service, an
// automation object whose IDispatch methods are the operations.
#ifndef QXSOAP_HOST_SERVE_SERVICE_CALL_H_
#define QXSOAP_HOST_SERVE_SERVICE_CALL_H_

#include <qxcom.h>

#include <string>
#include <vector>

#include "qxcom/owned.h"

namespace qxsoap::host {

// One parameter of the call, as the handler bound it.
struct ServiceArgument {
  std::u16string ns, name;
  qxcom::Variant value;
  bool in = false, out = false;
};

struct ServiceOutcome {
  bool succeeded = false;
  std::u16string failure;  // why not, when it did not: the service's own words when it gave any
  qxcom::Variant result;
};

// Calls method `method` of `service` by name (GetIDsOfNames, then Invoke as
// a method) with `arguments` in order: an in-only argument by value, an out
// or in/out one by reference (VT_BYREF | VT_VARIANT), so that what the
// service writes lands in that argument's `value`. An error HRESULT of the
// service, with EXCEPINFO (DISP_E_EXCEPTION) or without, is a failure.
ServiceOutcome CallService(IDispatch& service, const std::u16string& method, std::vector<ServiceArgument>& arguments);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_SERVICE_CALL_H_
