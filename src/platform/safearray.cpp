// SAFEARRAY creation and destruction, locking, and the descriptor queries.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/safearray_layout.h"
#include "platform/variant_types.h"
#include "qxcom/oleauto.h"
#include "qxcom/owned.h"

namespace qxcom {
namespace {

constexpr size_t kPrefixBytes = 16;
constexpr size_t kMaxDataBytes = std::numeric_limits<ULONG>::max();

char* BlockOf(SAFEARRAY* array) { return reinterpret_cast<char*>(array) - kPrefixBytes; }

USHORT FeaturesFor(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR: return FADF_BSTR;
    case VT_VARIANT: return FADF_VARIANT;
    case VT_UNKNOWN: return FADF_UNKNOWN;
    case VT_DISPATCH: return FADF_DISPATCH;
    default: return 0;
  }
}

// Dimension `dim` (1 = first declared) lives at the mirrored slot.
HRESULT DeclaredBound(SAFEARRAY* array, UINT dim, const SAFEARRAYBOUND** bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  *bound = &array->rgsabound[array->cDims - dim];
  return S_OK;
}

}  // namespace

ElementKind KindOf(const SAFEARRAY* array) {
  if (array->fFeatures & FADF_BSTR) return ElementKind::kBstr;
  if (array->fFeatures & FADF_VARIANT) return ElementKind::kVariant;
  if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) return ElementKind::kInterface;
  return ElementKind::kPlain;
}

SAFEARRAY* NewDescriptor(UINT dims, ULONG elementSize) {
  if (dims == 0 || dims > std::numeric_limits<USHORT>::max()) return nullptr;
  size_t bytes = kPrefixBytes + sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
  char* block = static_cast<char*>(std::calloc(1, bytes));
  if (block == nullptr) return nullptr;
  SAFEARRAY* array = reinterpret_cast<SAFEARRAY*>(block + kPrefixBytes);
  array->cDims = static_cast<USHORT>(dims);
  array->cbElements = elementSize;
  return array;
}

void StoreVartype(SAFEARRAY* array, VARTYPE vt) {
  DWORD stored = vt;
  std::memcpy(reinterpret_cast<char*>(array) - sizeof stored, &stored, sizeof stored);
  array->fFeatures |= FADF_HAVEVARTYPE;
}

size_t ElementCount(const SAFEARRAY* array) {
  size_t count = 1;
  for (USHORT i = 0; i < array->cDims; ++i) count *= array->rgsabound[i].cElements;
  return count;
}

HRESULT AllocateData(SAFEARRAY* array, DataFill fill) {
  size_t bytes = array->cbElements;
  for (USHORT i = 0; i < array->cDims; ++i) {
    const SAFEARRAYBOUND& bound = array->rgsabound[i];
    int64_t upper = int64_t{bound.lLbound} + bound.cElements - 1;
    if (upper > std::numeric_limits<LONG>::max()) return E_INVALIDARG;
    if (__builtin_mul_overflow(bytes, size_t{bound.cElements}, &bytes)) return E_INVALIDARG;
    if (bytes > kMaxDataBytes) return E_INVALIDARG;
  }
  // One byte at least, so that an empty array still has a data pointer.
  if (bytes == 0) bytes = 1;
  array->pvData = fill == DataFill::kZeroed ? std::calloc(1, bytes) : std::malloc(bytes);
  return array->pvData == nullptr ? E_OUTOFMEMORY : S_OK;
}

void FreeArray(SAFEARRAY* array) {
  std::free(array->pvData);
  std::free(BlockOf(array));
}

SafeArrayPtr NewUnfilledByteVector(ULONG count) {
  SAFEARRAY* array = NewDescriptor(1, 1);
  if (array == nullptr) return SafeArrayPtr();
  array->rgsabound[0] = {count, 0};
  StoreVartype(array, VT_UI1);
  if (FAILED(AllocateData(array, DataFill::kUnfilled))) {
    FreeArray(array);
    return SafeArrayPtr();
  }
  return SafeArrayPtr(array);
}

SafeArrayPtr CopyToByteVector(std::span<const BYTE> bytes) {
  if (bytes.size() > std::numeric_limits<ULONG>::max()) return SafeArrayPtr();
  SafeArrayPtr array = NewUnfilledByteVector(ULONG(bytes.size()));
  if (array.get() && !bytes.empty()) std::memcpy(array.get()->pvData, bytes.data(), bytes.size());
  return array;
}

}  // namespace qxcom

using qxcom::ElementKind;

extern "C" {

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds) {
  ULONG size = qxcom::ArrayElementSize(vt);
  if (size == 0 || bounds == nullptr) return nullptr;
  SAFEARRAY* array = qxcom::NewDescriptor(dims, size);
  if (array == nullptr) return nullptr;
  for (UINT i = 0; i < dims; ++i) array->rgsabound[dims - 1 - i] = bounds[i];
  array->fFeatures = qxcom::FeaturesFor(vt);
  qxcom::StoreVartype(array, vt);
  if (FAILED(qxcom::AllocateData(array))) {
    qxcom::FreeArray(array);
    return nullptr;
  }
  return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG count) {
  SAFEARRAYBOUND bound = {count, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  if (array->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  ElementKind kind = qxcom::KindOf(array);
  if (kind != ElementKind::kPlain && array->pvData != nullptr) {
    char* slot = static_cast<char*>(array->pvData);
    size_t count = qxcom::ElementCount(array);
    for (size_t i = 0; i < count; ++i, slot += array->cbElements) {
      qxcom::ReleaseElement(kind, slot);
    }
  }
  // A descriptor a caller placed on its stack, in static memory or inside a
  // structure has its elements released but its memory left to the caller.
  if (array->fFeatures & (FADF_AUTO | FADF_STATIC | FADF_EMBEDDED)) return S_OK;
  qxcom::FreeArray(array);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks == std::numeric_limits<ULONG>::max()) return E_UNEXPECTED;
  ++array->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (array == nullptr || data == nullptr) return E_INVALIDARG;
  if (HRESULT hr = SafeArrayLock(array); FAILED(hr)) return hr;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) { return SafeArrayUnlock(array); }

UINT SafeArrayGetDim(SAFEARRAY* array) { return array == nullptr ? 0 : array->cDims; }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array == nullptr ? 0 : array->cbElements; }

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  const SAFEARRAYBOUND* stored;
  if (HRESULT hr = qxcom::DeclaredBound(array, dim, &stored); FAILED(hr)) return hr;
  if (bound == nullptr) return E_INVALIDARG;
  *bound = stored->lLbound;
  return S_OK;
}

// A dimension of 0 elements has an upper bound one below its lower bound.
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  const SAFEARRAYBOUND* stored;
  if (HRESULT hr = qxcom::DeclaredBound(array, dim, &stored); FAILED(hr)) return hr;
  if (bound == nullptr) return E_INVALIDARG;
  *bound = static_cast<LONG>(int64_t{stored->lLbound} + stored->cElements - 1);
  return S_OK;
}

// Arrays without a stored VARTYPE (descriptors a host built itself) still
// name their type when a FADF flag tells it.
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (array == nullptr || vt == nullptr) return E_INVALIDARG;
  if (array->fFeatures & FADF_HAVEVARTYPE) {
    DWORD stored;
    std::memcpy(&stored, reinterpret_cast<const char*>(array) - sizeof stored, sizeof stored);
    *vt = static_cast<VARTYPE>(stored);
    return S_OK;
  }
  constexpr struct { USHORT flag; VARTYPE vt; } kFlagTypes[] = {
      {FADF_BSTR, VT_BSTR}, {FADF_VARIANT, VT_VARIANT},
      {FADF_UNKNOWN, VT_UNKNOWN}, {FADF_DISPATCH, VT_DISPATCH}};
  for (const auto& entry : kFlagTypes) {
    if (array->fFeatures & entry.flag) {
      *vt = entry.vt;
      return S_OK;
    }
  }
  return E_INVALIDARG;
}

}  // extern "C"
