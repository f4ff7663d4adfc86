// qxcom.h: the COM and OLE Automation platform that qxsoap and its hosts are
// written against, with Windows names and behaviour: base types, BSTR,
// VARIANT, SAFEARRAY and their coercions, the base interfaces, GUIDs, object
// creation through the registry, the registry itself and the system log.
// Including this one header is enough for a program written like a COM
// client; link it with the qxcom library.
#ifndef QXCOM_H_
#define QXCOM_H_

#include "qxcom/types.h"
#include "qxcom/unknwn.h"
#include "qxcom/storage.h"
#include "qxcom/typeinfo.h"
#include "qxcom/oleauto.h"
#include "qxcom/wctype.h"
#include "qxcom/owned.h"
#include "qxcom/winerror.h"
#include "qxcom/stringapi.h"
#include "qxcom/eventlog.h"
#include "qxcom/runtime.h"
#include "qxcom/registry.h"

#endif  // QXCOM_H_
