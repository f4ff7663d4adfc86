// SafeArrayCopy: a new array of the same shape, element type and flags,
// with every element copied by the GetElement rules.
#include <cstring>

#include "platform/safearray_layout.h"
#include "qxcom/oleauto.h"

namespace {

constexpr USHORT kCopiedFeatures =
    FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT | FADF_HAVEVARTYPE;

// An array shaped like `source`, its data zeroed or left for the caller to
// fill; nullptr when memory runs out.
SAFEARRAY* NewArrayLike(SAFEARRAY* source, qxcom::DataFill fill) {
  SAFEARRAY* copy = qxcom::NewDescriptor(source->cDims, source->cbElements);
  if (copy == nullptr) return nullptr;
  std::memcpy(copy->rgsabound, source->rgsabound, source->cDims * sizeof(SAFEARRAYBOUND));
  VARTYPE vt;
  if (source->fFeatures & FADF_HAVEVARTYPE && SUCCEEDED(SafeArrayGetVartype(source, &vt))) {
    qxcom::StoreVartype(copy, vt);
  }
  copy->fFeatures |= source->fFeatures & kCopiedFeatures;
  if (FAILED(qxcom::AllocateData(copy, fill))) {
    qxcom::FreeArray(copy);
    return nullptr;
  }
  return copy;
}

}  // namespace

extern "C" HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
  if (copy == nullptr) return E_INVALIDARG;
  *copy = nullptr;
  if (source == nullptr) return S_OK;
  if (source->pvData == nullptr) return E_INVALIDARG;
  const qxcom::ElementKind kind = qxcom::KindOf(source);
  // Plain elements are copied in one block over the whole data; the others
  // one by one, over zeroes that stay valid empty elements if a copy fails.
  SAFEARRAY* made = NewArrayLike(source, kind == qxcom::ElementKind::kPlain ? qxcom::DataFill::kUnfilled
                                                                           : qxcom::DataFill::kZeroed);
  if (made == nullptr) return E_OUTOFMEMORY;
  const char* from = static_cast<const char*>(source->pvData);
  char* to = static_cast<char*>(made->pvData);
  size_t count = qxcom::ElementCount(source);
  if (kind == qxcom::ElementKind::kPlain) {
    // Numbers, dates, bytes and records of them own nothing: one block copy
    // (a megabyte of bytes is copied at memory speed, not element by element).
    std::memcpy(to, from, count * source->cbElements);
    *copy = made;
    return S_OK;
  }
  for (size_t i = 0; i < count; ++i) {
    size_t offset = i * source->cbElements;
    HRESULT hr = qxcom::CopyElement(kind, source->cbElements, from + offset, to + offset);
    if (FAILED(hr)) {
      SafeArrayDestroy(made);  // frees the elements copied so far; the rest are empty
      return hr;
    }
  }
  *copy = made;
  return S_OK;
}
