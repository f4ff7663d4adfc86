// Conversions between Invoke's VARIANTARGs and the parameters of a method:
// the non-template half of the argument slots in dispatch_thunk.h.
#include "frame/dispatch_thunk.h"

namespace qxsoap {

HRESULT CoerceArgument(const VARIANTARG* arg, VARTYPE type, qxcom::Variant& into) {
  if (V_ISBYREF(arg) && !V_BYREF(arg)) return DISP_E_TYPEMISMATCH;  // a reference to nothing
  return VariantChangeType(into.get(), arg, 0, type);
}

HRESULT CheckOutTarget(const VARIANTARG* target, VARTYPE type) {
  if (!V_ISBYREF(target) || !V_BYREF(target)) return DISP_E_TYPEMISMATCH;
  const VARTYPE referenced = V_VT(target) & ~VT_BYREF;
  return referenced == type || referenced == VT_VARIANT ? S_OK : DISP_E_TYPEMISMATCH;
}

// A late-bound client learns of a failed method through EXCEPINFO, as from
// a dual interface on Windows; one that passes none gets the HRESULT itself.
HRESULT MethodFailed(HRESULT hr, const OLECHAR* source, EXCEPINFO* exception) {
  if (!exception) return hr;
  *exception = EXCEPINFO{};
  exception->bstrSource = SysAllocString(source);
  exception->scode = hr;
  return DISP_E_EXCEPTION;
}

HRESULT ArgumentFailed(HRESULT hr) {
  return hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
}

}  // namespace qxsoap
