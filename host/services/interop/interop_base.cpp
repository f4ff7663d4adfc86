// The array echoes of the interop base service; the others are inline.
#include "host/services/interop/interop_base.h"

namespace qxsoap::interop {
namespace {

// Items in all dimensions of `array`.
ULONG ItemCount(const SAFEARRAY& array) {
  ULONG count = 1;
  for (USHORT d = 0; d < array.cDims; ++d) count *= array.rgsabound[d].cElements;
  return count;
}

}  // namespace

qxcom::Variant InteropBase::EchoArray(Arguments& args, VARTYPE itemType) {
  if (V_VT(&args[0]) != (VT_ARRAY | VT_VARIANT) || !V_ARRAY(&args[0])) {
    args.Reject(0, DISP_E_TYPEMISMATCH);
  }
  qxcom::Variant copy = args.Copy(0);
  SAFEARRAY* array = V_ARRAY(copy.get());
  VARIANT* items = nullptr;
  if (HRESULT hr = SafeArrayAccessData(array, reinterpret_cast<void**>(&items)); FAILED(hr)) {
    args.Reject(0, hr);
  }
  HRESULT hr = S_OK;
  for (ULONG i = 0, count = ItemCount(*array); i < count && SUCCEEDED(hr); ++i) {
    if (V_VT(&items[i]) != itemType) hr = VariantChangeType(&items[i], &items[i], 0, itemType);
  }
  SafeArrayUnaccessData(array);
  if (FAILED(hr)) args.Reject(0, hr);
  return copy;
}

}  // namespace qxsoap::interop
