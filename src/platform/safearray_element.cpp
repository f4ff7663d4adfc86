// SAFEARRAY element addressing and the element copy rules of GetElement and
// PutElement.
#include <cstdint>
#include <cstring>

#include "platform/safearray_layout.h"
#include "qxcom/oleauto.h"
#include "qxcom/unknwn.h"

namespace qxcom {
namespace {

// A BSTR or interface element is a pointer; it is copied through a VARIANT
// of that type so that it follows exactly the VARIANT copy rules.
VARTYPE PointerVartype(ElementKind kind) { return kind == ElementKind::kBstr ? VT_BSTR : VT_UNKNOWN; }

// Runs `work` with the array locked, so that a callback made while an element
// is copied or released (an interface's Release) cannot destroy the array.
template <typename Work>
HRESULT WhileLocked(SAFEARRAY* array, Work&& work) {
  if (HRESULT hr = SafeArrayLock(array); FAILED(hr)) return hr;
  HRESULT hr = work();
  SafeArrayUnlock(array);
  return hr;
}

}  // namespace

// indices[i] indexes dimension i + 1, which is stored at rgsabound[cDims-1-i];
// dimension 1 varies fastest in memory.
HRESULT ElementAt(SAFEARRAY* array, const LONG* indices, void** slot) {
  if (array->cDims == 0 || array->pvData == nullptr) return E_INVALIDARG;  // a bare descriptor
  size_t offset = 0;
  size_t stride = 1;
  for (USHORT i = 0; i < array->cDims; ++i) {
    const SAFEARRAYBOUND& bound = array->rgsabound[array->cDims - 1 - i];
    int64_t position = int64_t{indices[i]} - bound.lLbound;
    if (position < 0 || position >= int64_t{bound.cElements}) return DISP_E_BADINDEX;
    offset += static_cast<size_t>(position) * stride;
    stride *= bound.cElements;
  }
  *slot = static_cast<char*>(array->pvData) + offset * array->cbElements;
  return S_OK;
}

HRESULT CopyElement(ElementKind kind, ULONG size, const void* from, void* to) {
  if (kind == ElementKind::kPlain) {
    std::memcpy(to, from, size);
    return S_OK;
  }
  if (kind == ElementKind::kVariant) {
    VARIANT* dest = static_cast<VARIANT*>(to);
    VariantInit(dest);
    return VariantCopy(dest, static_cast<const VARIANT*>(from));
  }
  VARIANT source;
  source.vt = PointerVartype(kind);
  std::memcpy(&source.byref, from, sizeof(void*));
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = VariantCopy(&copy, &source);
  void* pointer = SUCCEEDED(hr) ? copy.byref : nullptr;
  std::memcpy(to, &pointer, sizeof pointer);
  return hr;
}

void ReleaseElement(ElementKind kind, void* slot) {
  if (kind == ElementKind::kPlain) return;
  if (kind == ElementKind::kVariant) {
    VariantClear(static_cast<VARIANT*>(slot));
    return;
  }
  VARIANT held;
  held.vt = PointerVartype(kind);
  std::memcpy(&held.byref, slot, sizeof(void*));
  VariantClear(&held);
  std::memset(slot, 0, sizeof(void*));
}

}  // namespace qxcom

using qxcom::ElementKind;

extern "C" {

// *element is an out-parameter: whatever it held is overwritten, not freed.
HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* element) {
  if (array == nullptr || indices == nullptr || element == nullptr) return E_INVALIDARG;
  return qxcom::WhileLocked(array, [&] {
    void* slot;
    if (HRESULT hr = qxcom::ElementAt(array, indices, &slot); FAILED(hr)) return hr;
    return qxcom::CopyElement(qxcom::KindOf(array), array->cbElements, slot, element);
  });
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* element) {
  if (array == nullptr || indices == nullptr) return E_INVALIDARG;
  ElementKind kind = qxcom::KindOf(array);
  // Only pointer elements may be null (a null BSTR or interface).
  bool pointerElement = kind == ElementKind::kBstr || kind == ElementKind::kInterface;
  if (element == nullptr && !pointerElement) return E_INVALIDARG;
  return qxcom::WhileLocked(array, [&] {
    void* slot;
    if (HRESULT hr = qxcom::ElementAt(array, indices, &slot); FAILED(hr)) return hr;
    if (kind == ElementKind::kPlain) {
      std::memcpy(slot, element, array->cbElements);
      return S_OK;
    }
    if (kind == ElementKind::kVariant) {
      return VariantCopy(static_cast<VARIANT*>(slot), static_cast<const VARIANT*>(element));
    }
    // The element is the BSTR or interface pointer itself. Copying before
    // releasing the old one keeps putting an element over itself safe.
    void* replacement;
    if (HRESULT hr = qxcom::CopyElement(kind, array->cbElements, &element, &replacement); FAILED(hr)) {
      return hr;
    }
    qxcom::ReleaseElement(kind, slot);
    std::memcpy(slot, &replacement, sizeof replacement);
    return S_OK;
  });
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, LONG* indices, void** element) {
  if (array == nullptr || indices == nullptr || element == nullptr) return E_INVALIDARG;
  return qxcom::ElementAt(array, indices, element);
}

}  // extern "C"
