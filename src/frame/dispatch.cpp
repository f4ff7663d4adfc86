// IDispatch::GetIDsOfNames and Invoke over a described interface's method
// table.
#include "frame/dispatch.h"

#include <string_view>

#include "frame/at_boundary.h"
#include "frame/method_table.h"

namespace qxsoap {
namespace {

DISPID ParameterId(const MethodInfo& method, std::u16string_view name) {
  for (size_t i = 0; i < method.ArgCount(); ++i) {
    if (NamesMatch(method.params[i].name, name)) return DISPID(i);
  }
  return DISPID_UNKNOWN;
}

bool IsMissing(const VARIANTARG& arg) {
  return V_VT(&arg) == VT_ERROR && V_ERROR(&arg) == DISP_E_PARAMNOTFOUND;
}

// Matches DISPPARAMS to parameters: positional arguments are the last
// entries of rgvarg in reverse order, named ones the first entries. Every
// parameter of these methods is required, so the counts must agree.
HRESULT BindArguments(const DISPPARAMS& args, BoundCall& call) {
  const MethodInfo& method = *call.method;
  const UINT expected = UINT(method.ArgCount());
  if (args.cArgs != expected) return DISP_E_BADPARAMCOUNT;
  if (args.cNamedArgs > args.cArgs || (args.cArgs && !args.rgvarg) ||
      (args.cNamedArgs && !args.rgdispidNamedArgs)) {
    return E_INVALIDARG;
  }
  bool bound[BoundCall::kMaxParams] = {};
  auto bind = [&](UINT param, UINT index) {
    call.args[param] = &args.rgvarg[index];
    call.argIndex[param] = index;
    bound[param] = true;
  };
  const UINT positional = args.cArgs - args.cNamedArgs;
  for (UINT i = 0; i < positional; ++i) bind(i, args.cArgs - 1 - i);
  for (UINT k = 0; k < args.cNamedArgs; ++k) {
    const DISPID param = args.rgdispidNamedArgs[k];
    if (param < 0 || UINT(param) >= expected || bound[param]) {
      if (call.argError) *call.argError = k;
      return DISP_E_PARAMNOTFOUND;
    }
    bind(UINT(param), k);
  }
  for (UINT i = 0; i < expected; ++i) {
    if (IsMissing(*call.args[i])) {
      if (call.argError) *call.argError = call.argIndex[i];
      return DISP_E_PARAMNOTOPTIONAL;
    }
  }
  return S_OK;
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
