// The module's lock count, changed atomically: objects of different
// apartments may come and go on different threads.
#include "frame/module_lock.h"

#include <atomic>

namespace qxsoap {
namespace {

std::atomic<LONG> lockCount{0};

}  // namespace

void LockModule() { lockCount.fetch_add(1); }

void UnlockModule() {
  LONG count = lockCount.load();
  while (count > 0 && !lockCount.compare_exchange_weak(count, count - 1)) {
  }
}

LONG ModuleLockCount() { return lockCount.load(); }

}  // namespace qxsoap
