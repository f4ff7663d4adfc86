// Keeps exceptions from crossing the C entry points of the platform layer:
// the only one its code can raise is running out of memory.
#ifndef QXSOAP_PLATFORM_RUNTIME_GUARD_H_
#define QXSOAP_PLATFORM_RUNTIME_GUARD_H_

#include <new>

#include "qxcom/winerror.h"

namespace qxcom {

// Returns what `call` returns, or `outOfMemory` when memory runs out inside
// it; a non-zero `lastError` is then also stored as the thread's last error,
// for the calls that report failures that way.
template <typename Result, typename Call>
Result Guarded(Result outOfMemory, Call&& call, DWORD lastError = 0) noexcept {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    if (lastError != 0) SetLastError(lastError);
    return outOfMemory;
  }
}

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_RUNTIME_GUARD_H_
