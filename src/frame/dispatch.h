// IDispatch for a described interface (method_table.h), driven by its
// method table: names to DISPIDs, and late-bound calls that reach the same
// vtable slots as early-bound ones.
#ifndef QXSOAP_FRAME_DISPATCH_H_
#define QXSOAP_FRAME_DISPATCH_H_

#include "frame/method_table.h"

namespace qxsoap {

// IDispatch::GetIDsOfNames: names[0] is a method (any letter case), the
// others its parameters, whose ids are their 0-based positions. Unknown
// names get DISPID_UNKNOWN and the result DISP_E_UNKNOWNNAME; the known
// ones are still filled in. E_INVALIDARG for null arrays or a zero count.
HRESULT GetMemberIds(const DispatchInterface& interface, LPOLESTR* names, UINT count,
                     DISPID* ids);

// IDispatch::Invoke of method `member` on `target`, an object of
// `interface`: checks the DISPID
// (DISP_E_MEMBERNOTFOUND), the flags (DISPATCH_METHOD must be among them),
// the argument count (DISP_E_BADPARAMCOUNT), named arguments
// (DISP_E_PARAMNOTFOUND) and missing ones (DISP_E_PARAMNOTOPTIONAL, with
// their rgvarg index in *argError), converts each argument with
// VariantChangeType (DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW, with its rgvarg
// index in *argError) and calls the method. An out-argument of the
// parameter's own VT_BYREF type is passed to the method as it is; a
// VT_BYREF | VT_VARIANT one receives the value only when the method wrote
// it; the retval goes to *result (when given) if the call succeeds. A
// method's own failure is returned as DISP_E_EXCEPTION with the HRESULT in
// exception->scode when `exception` is given, else as itself. An exception
// is E_OUTOFMEMORY for exhausted memory, E_UNEXPECTED for anything else.
HRESULT InvokeMember(const DispatchInterface& interface, IDispatch& target, DISPID member,
                     REFIID reserved, WORD flags, DISPPARAMS* args, VARIANT* result,
                     EXCEPINFO* exception, UINT* argError);

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_DISPATCH_H_
