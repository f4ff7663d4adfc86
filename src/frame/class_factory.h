// The class factory of qxsoapmsg2 that DllGetClassObject hands out.
#ifndef QXSOAP_FRAME_CLASS_FACTORY_H_
#define QXSOAP_FRAME_CLASS_FACTORY_H_

#include "qxcom/unknwn.h"

namespace qxsoap {

// The module's one factory object. It lives as long as the module, so
// AddRef and Release count nothing; LockServer(TRUE) adds a module lock and
// LockServer(FALSE) takes one off. CreateInstance follows
// qxsoapmsg2::CreateInstance.
IClassFactory& ClassFactory();

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_CLASS_FACTORY_H_
