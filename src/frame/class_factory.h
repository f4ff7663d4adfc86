// The class factories that DllGetClassObject hands out, one per class the
// module serves.
#ifndef QXSOAP_FRAME_CLASS_FACTORY_H_
#define QXSOAP_FRAME_CLASS_FACTORY_H_

#include "qxcom/unknwn.h"

namespace qxsoap {

// The factory of `clsid` (CLSID_qxsoapmsg2 or CLSID_StructObject), or null
// for a class the module does not serve. Each factory lives as long as the
// module, so AddRef and Release count nothing; LockServer(TRUE) adds a
// module lock and LockServer(FALSE) takes one off. CreateInstance follows
// the class's own CreateInstance.
IClassFactory* ClassFactory(REFCLSID clsid);

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_CLASS_FACTORY_H_
