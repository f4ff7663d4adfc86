// How a SAFEARRAY is laid out in memory and how its elements are copied and
// freed; shared by the files that create, index and copy arrays.
//
// A descriptor made here sits 16 bytes into its allocation; the 4 bytes just
// before the descriptor hold the element VARTYPE (flagged FADF_HAVEVARTYPE),
// where Windows keeps it. The data is a separate block.
#ifndef QXCOM_PLATFORM_SAFEARRAY_LAYOUT_H_
#define QXCOM_PLATFORM_SAFEARRAY_LAYOUT_H_

#include <cstddef>

#include "qxcom/types.h"

namespace qxcom {

// How elements are copied and freed, read from the FADF_* flags so that it
// also works for descriptors that carry no VARTYPE.
enum class ElementKind { kPlain, kBstr, kVariant, kInterface };
ElementKind KindOf(const SAFEARRAY* array);

// Allocates a zeroed descriptor of `dims` dimensions (1 to 65535) with
// cbElements set and no data. nullptr for a bad count or when memory runs
// out. Free it with FreeArray.
SAFEARRAY* NewDescriptor(UINT dims, ULONG elementSize);

// Stores the element type before the descriptor and sets FADF_HAVEVARTYPE.
void StoreVartype(SAFEARRAY* array, VARTYPE vt);

// Whether new data starts zeroed, or is left for a caller that writes every
// byte of it at once (zeroing a megabyte only to overwrite it costs as much
// as the copy).
enum class DataFill { kZeroed, kUnfilled };

// Allocates data for the bounds already stored in `array`. Returns
// E_INVALIDARG when the element count, the byte size or an upper bound does
// not fit (sizes are kept in 32 bits, bounds in LONG), E_OUTOFMEMORY when
// memory runs out; pvData is then left null.
HRESULT AllocateData(SAFEARRAY* array, DataFill fill = DataFill::kZeroed);

// Number of elements (product of the dimension sizes) of a valid array.
size_t ElementCount(const SAFEARRAY* array);

// Frees the data block and the descriptor, not what the elements own.
void FreeArray(SAFEARRAY* array);

// The address of the element at `indices` (indices[i] indexes dimension
// i + 1) in *slot, or DISP_E_BADINDEX when one is outside its bounds.
// E_INVALIDARG for a descriptor without dimensions or data.
HRESULT ElementAt(SAFEARRAY* array, const LONG* indices, void** slot);

// Copies the element at `from` into `to`, whose old contents are ignored:
// a BSTR duplicated, a VARIANT deep-copied, an interface AddRef'd. On
// failure `to` holds an empty element.
HRESULT CopyElement(ElementKind kind, ULONG size, const void* from, void* to);

// Frees what the element at `slot` owns and leaves an empty element.
void ReleaseElement(ElementKind kind, void* slot);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_SAFEARRAY_LAYOUT_H_
