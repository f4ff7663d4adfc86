// IDispatch::GetIDsOfNames and Invoke over a described interface's method
// table.
#include "frame/dispatch.h"

#include <string_view>

#include "frame/at_boundary.h"
#include "frame/method_table.h"
#include "qxcom/server.h"

namespace qxsoap {
namespace {

DISPID ParameterId(const MethodInfo& method, std::u16string_view name) {
  for (size_t i = 0; i < method.ArgCount(); ++i) {
    if (qxcom::NamesMatch(method.params[i].name, name)) return DISPID(i);
  }
  return DISPID_UNKNOWN;
}

// Matches DISPPARAMS to the method's parameters, all of them required.
HRESULT BindArguments(const DISPPARAMS& args, BoundCall& call) {
  return qxcom::BindDispatchArguments(args, UINT(call.method->ArgCount()), call.args,
                                      call.argIndex, call.argError);
}

}  // namespace

HRESULT GetMemberIds(const DispatchInterface& interface, LPOLESTR* names, UINT count,
                     DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const MethodInfo* method =
      names[0] ? interface.Find(std::u16string_view(names[0])) : nullptr;
  if (!method) return DISP_E_UNKNOWNNAME;
  ids[0] = method->id;
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    if (names[i]) ids[i] = ParameterId(*method, names[i]);
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT InvokeMember(const DispatchInterface& interface, IDispatch& target, DISPID member,
                     REFIID reserved, WORD flags, DISPPARAMS* args, VARIANT* result,
                     EXCEPINFO* exception, UINT* argError) {
  BoundCall call;
  call.method = interface.Find(member);
  if (!call.method) return DISP_E_MEMBERNOTFOUND;
  if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
  if (!args) return E_INVALIDARG;
  call.result = result;
  call.exception = exception;
  call.argError = argError;
  call.source = interface.source;
  if (HRESULT hr = BindArguments(*args, call); FAILED(hr)) return hr;
  return AtBoundary([&] { return call.method->invoke(target, call); });
}

}  // namespace qxsoap
