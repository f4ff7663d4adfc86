// Reading and writing the arguments of a service method's call.
#include "qxsoap/service_object.h"

namespace qxsoap::service {

const VARIANT& Arguments::operator[](size_t i) const {
  const VARIANT& arg = *args_[i];
  return V_VT(&arg) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&arg) ? *V_VARIANTREF(&arg) : arg;
}

qxcom::Variant Arguments::Copy(size_t i) const {
  qxcom::Variant copy;
  if (HRESULT hr = VariantCopyInd(copy.get(), args_[i]); FAILED(hr)) {
    Reject(i, hr);
  }
  return copy;
}

qxcom::Variant Arguments::As(size_t i, VARTYPE type) const {
  const VARIANT& value = (*this)[i];
  if (V_VT(&value) == type) return Copy(i);
  qxcom::Variant converted;
  if (HRESULT hr = VariantChangeType(converted.get(), &value, 0, type); FAILED(hr)) {
    Reject(i, hr);
  }
  return converted;
}

void Arguments::SetOut(size_t i, const VARIANT& value) {
  VARIANTARG& arg = *args_[i];
  if (V_VT(&arg) != (VT_BYREF | VT_VARIANT) || !V_VARIANTREF(&arg)) {
    Reject(i, DISP_E_TYPEMISMATCH);
  }
  // VariantCopy clears the destination first.
  if (HRESULT hr = VariantCopy(V_VARIANTREF(&arg), &value); FAILED(hr)) {
    Reject(i, hr);
  }
}

void Arguments::Reject(size_t i, HRESULT hr) const { throw ArgumentError{hr, argIndex_[i]}; }

}  // namespace qxsoap::service
