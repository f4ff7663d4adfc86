// VARIANT lifetime: initialisation, clearing and deep copies, with and
// without following VT_BYREF references.
#include <cstring>

#include "platform/variant_types.h"
#include "qxcom/oleauto.h"
#include "qxcom/unknwn.h"

namespace {

using qxcom::IsValidVariantType;

// A BSTR copy that keeps the exact byte length (odd lengths included).
HRESULT DuplicateBstr(BSTR source, BSTR* copy) {
  *copy = nullptr;
  if (source == nullptr) return S_OK;
  *copy = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(source), SysStringByteLen(source));
  return *copy == nullptr ? E_OUTOFMEMORY : S_OK;
}

// Fills `dest` (whose old contents are ignored) with a deep copy of `source`
// without following references. On failure `dest` is VT_EMPTY.
HRESULT CopyValue(VARIANT* dest, const VARIANT* source) {
  VariantInit(dest);
  if (!IsValidVariantType(source->vt)) return DISP_E_BADVARTYPE;
  VARIANT copy = *source;
  HRESULT hr = S_OK;
  if (copy.vt & VT_BYREF) {
    // A reference is copied as the pointer: the referenced value has one owner.
  } else if (copy.vt & VT_ARRAY) {
    hr = SafeArrayCopy(source->parray, &copy.parray);
  } else if (copy.vt == VT_BSTR) {
    hr = DuplicateBstr(source->bstrVal, &copy.bstrVal);
  } else if ((copy.vt == VT_UNKNOWN || copy.vt == VT_DISPATCH) && copy.punkVal != nullptr) {
    copy.punkVal->AddRef();
  }
  if (FAILED(hr)) return hr;
  *dest = copy;
  return S_OK;
}

// Fills `dest` (whose old contents are ignored) with a deep copy of the value
// `source` references (`source` is VT_BYREF). On failure `dest` is VT_EMPTY.
HRESULT CopyReferenced(VARIANT* dest, const VARIANT* source) {
  VariantInit(dest);
  if (!IsValidVariantType(source->vt)) return DISP_E_BADVARTYPE;
  if (source->byref == nullptr) return E_INVALIDARG;
  VARTYPE target = source->vt & ~VT_BYREF;
  if (target == VT_VARIANT) {
    // A reference to a VARIANT is followed once; a VARIANT that itself
    // refers to a VARIANT is a chain a caller cannot have meant.
    const VARIANT* inner = source->pvarVal;
    if (inner->vt == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
    return (inner->vt & VT_BYREF) ? CopyReferenced(dest, inner) : CopyValue(dest, inner);
  }
  VARIANT value;
  VariantInit(&value);
  if (target == VT_DECIMAL) {
    value.decVal = *source->pdecVal;  // overlays vt, so vt is set afterwards
  } else if (target & VT_ARRAY) {
    value.parray = *source->pparray;
  } else {
    std::memcpy(&value.llVal, source->byref, qxcom::ArrayElementSize(target));
  }
  value.vt = target;
  return CopyValue(dest, &value);
}

// The copy is made before `dest` is cleared, so a `source` that lives inside
// `dest` (an element of its array, or `dest` itself for VariantCopyInd) is
// still intact while it is read. When `dest` cannot be cleared (a bad type
// tag, a locked array) its value is kept and the clear's error returned.
HRESULT Replace(VARIANTARG* dest, const VARIANTARG* source,
                HRESULT (*copy)(VARIANT*, const VARIANT*)) {
  if (dest == nullptr || source == nullptr) return E_INVALIDARG;
  VARIANT made;
  HRESULT hr = copy(&made, source);
  if (HRESULT cleared = VariantClear(dest); FAILED(cleared)) {
    VariantClear(&made);
    return cleared;
  }
  *dest = made;
  return hr;
}

}  // namespace

extern "C" {

void VariantInit(VARIANTARG* value) { value->vt = VT_EMPTY; }

HRESULT VariantClear(VARIANTARG* value) {
  if (value == nullptr) return E_INVALIDARG;
  if (!IsValidVariantType(value->vt)) return DISP_E_BADVARTYPE;
  if (value->vt & VT_BYREF) {
    // The referenced value belongs to whoever made the reference.
  } else if (value->vt & VT_ARRAY) {
    if (HRESULT hr = SafeArrayDestroy(value->parray); FAILED(hr)) return hr;
  } else if (value->vt == VT_BSTR) {
    SysFreeString(value->bstrVal);
  } else if ((value->vt == VT_UNKNOWN || value->vt == VT_DISPATCH) && value->punkVal != nullptr) {
    value->punkVal->Release();
  }
  value->vt = VT_EMPTY;
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source) {
  if (dest != nullptr && dest == source) return S_OK;
  return Replace(dest, source, CopyValue);
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* source) {
  if (source != nullptr && !(source->vt & VT_BYREF)) return VariantCopy(dest, source);
  return Replace(dest, source, CopyReferenced);
}

}  // extern "C"
