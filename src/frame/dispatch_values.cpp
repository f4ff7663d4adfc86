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

// A by-reference argument is the caller's variable: its old value is
// replaced, so it is freed here, as a VB or script client passing a
// variable ByRef expects.
void StoreOut(qxcom::Variant& value, VARIANTARG* target) {
  if (V_VT(target) == (VT_BYREF | VT_VARIANT)) {
    VariantClear(V_VARIANTREF(target));
    value.Detach(V_VARIANTREF(target));
    return;
  }
  VARIANT& out = *value.get();
  switch (V_VT(target) & VT_TYPEMASK) {
    case VT_BSTR:
      SysFreeString(*target->pbstrVal);
      *target->pbstrVal = out.bstrVal;
      break;
    case VT_BOOL:
      *target->pboolVal = out.boolVal;
      break;
    case VT_I4:
      *target->plVal = out.lVal;
      break;
    case VT_UNKNOWN:
      if (*target->ppunkVal) (*target->ppunkVal)->Release();
      *target->ppunkVal = out.punkVal;
      break;
    default:
      return;  // CheckOutTarget admitted nothing else; `value` frees itself
  }
  VariantInit(&out);  // the caller's variable owns the value now
}

// A late-bound client learns of a failed method through EXCEPINFO, as from
// a dual interface on Windows; one that passes none gets the HRESULT itself.
HRESULT MethodFailed(HRESULT hr, EXCEPINFO* exception) {
  if (!exception) return hr;
  *exception = EXCEPINFO{};
  exception->bstrSource = SysAllocString(kQxsoapmsg2ProgId);
  exception->scode = hr;
  return DISP_E_EXCEPTION;
}

HRESULT ArgumentFailed(HRESULT hr) {
  return hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
}

}  // namespace qxsoap
