// Name matching and argument matching for the IDispatch of any module.
#include "qxcom/server.h"

namespace qxcom {
namespace {

char16_t FoldCase(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? unit + 32 : unit; }

bool IsMissing(const VARIANTARG& arg) {
  return V_VT(&arg) == VT_ERROR && V_ERROR(&arg) == DISP_E_PARAMNOTFOUND;
}

}  // namespace

bool NamesMatch(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

HRESULT BindDispatchArguments(const DISPPARAMS& args, UINT expected, VARIANTARG** bound,
                              UINT* boundIndex, UINT* argError) {
  if (args.cArgs != expected) return DISP_E_BADPARAMCOUNT;
  if (args.cNamedArgs > args.cArgs || (args.cArgs && !args.rgvarg) ||
      (args.cNamedArgs && !args.rgdispidNamedArgs)) {
    return E_INVALIDARG;
  }
  for (UINT i = 0; i < expected; ++i) bound[i] = nullptr;
  auto bind = [&](UINT param, UINT index) {
    bound[param] = &args.rgvarg[index];
    boundIndex[param] = index;
  };
  const UINT positional = args.cArgs - args.cNamedArgs;
  for (UINT i = 0; i < positional; ++i) bind(i, args.cArgs - 1 - i);
  for (UINT k = 0; k < args.cNamedArgs; ++k) {
    const DISPID param = args.rgdispidNamedArgs[k];
    if (param < 0 || UINT(param) >= expected || bound[param]) {
      if (argError) *argError = k;
      return DISP_E_PARAMNOTFOUND;
    }
    bind(UINT(param), k);
  }
  for (UINT i = 0; i < expected; ++i) {
    if (IsMissing(*bound[i])) {
      if (argError) *argError = boundIndex[i];
      return DISP_E_PARAMNOTOPTIONAL;
    }
  }
  return S_OK;
}

}  // namespace qxcom
