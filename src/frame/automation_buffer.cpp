// Iqxsoapmsg2: the message bytes in and out as one-dimensional VT_UI1
// arrays.
#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/automation_values.h"

namespace qxsoap {

// Only a VT_ARRAY | VT_UI1 VARIANT with a one-dimensional array counts as
// bytes; anything else leaves the current message and reports false. The
// caller's array is only read, and the HRESULT is S_OK on every path.
HRESULT qxsoapmsg2::SetBuffer(VARIANT varBuffer, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = VARIANT_FALSE;
    SAFEARRAY* array = V_VT(&varBuffer) == (VT_ARRAY | VT_UI1) ? V_ARRAY(&varBuffer) : nullptr;
    if (!array || SafeArrayGetDim(array) != 1) return S_OK;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) return S_OK;
    const ULONG count = array->rgsabound[0].cElements;
    const bool stored = handler_->SetBuffer({static_cast<const BYTE*>(data), count});
    SafeArrayUnaccessData(array);
    *pResult = ToVariantBool(stored);
    return S_OK;
  });
}

// Hands out a copy each time: the handler keeps its own bytes.
HRESULT qxsoapmsg2::GetBuffer(VARIANT* pvarBuffer, VARIANT_BOOL* pResult) {
  return AtBoundary([&] {
    *pResult = VARIANT_FALSE;
    const std::span<const BYTE> bytes = handler_->GetBuffer();
    qxcom::SafeArrayPtr array = qxcom::CopyToByteVector(bytes);
    if (!array.get()) return S_OK;
    VariantClear(pvarBuffer);
    V_VT(pvarBuffer) = VT_ARRAY | VT_UI1;
    V_ARRAY(pvarBuffer) = array.release();
    *pResult = VARIANT_TRUE;
    return S_OK;
  });
}

}  // namespace qxsoap
