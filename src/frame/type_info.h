// The type information of Iqxsoapmsg2 that IDispatch::GetTypeInfo hands
// out. Linux has no binary type library to load it from, so it is built
// from the method table: the same names, DISPIDs, parameter types and
// directions that Invoke uses.
#ifndef QXSOAP_FRAME_TYPE_INFO_H_
#define QXSOAP_FRAME_TYPE_INFO_H_

#include "qxsoapmsg.h"

namespace qxsoap {

// The interface's description as a dispatch type (TKIND_DISPATCH, flagged
// dual, automation-compatible and not extensible, version 1.0), one
// FUNC_DISPATCH function per method with the retval as its return type.
// Made on first use, thread-safely, and kept for the life of the module:
// AddRef and Release do not free it.
ITypeInfo& InterfaceTypeInfo();

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_TYPE_INFO_H_
