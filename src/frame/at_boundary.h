// The guard around every entry point a COM caller reaches (automation
// methods, IDispatch, the class factory, the module exports): no exception
// may cross it, so whatever escapes becomes an HRESULT here.
#ifndef QXSOAP_FRAME_AT_BOUNDARY_H_
#define QXSOAP_FRAME_AT_BOUNDARY_H_

#include <new>

#include "model/fault_record.h"
#include "qxcom/types.h"

namespace qxsoap {

// Runs `call` and returns its HRESULT. Only a defect (a fault record that an
// entry point forgot to catch) or exhausted memory gets past `call`.
template <typename Call>
HRESULT AtBoundary(Call&& call) noexcept {
  try {
    return call();
  } catch (QXSOAPFault* stray) {
    delete stray;
    return E_UNEXPECTED;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_AT_BOUNDARY_H_
