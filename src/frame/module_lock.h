// The module's lock count: one lock for every living qxsoapmsg2 object and
// one for every outstanding IClassFactory::LockServer(TRUE). The module may
// be unloaded only while it is 0. Safe to call from any thread.
#ifndef QXSOAP_FRAME_MODULE_LOCK_H_
#define QXSOAP_FRAME_MODULE_LOCK_H_

#include "qxcom/types.h"

namespace qxsoap {

void LockModule();
// Takes one lock off; never below 0.
void UnlockModule();
LONG ModuleLockCount();

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_MODULE_LOCK_H_
