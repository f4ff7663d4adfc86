// Which type tags a VARIANT or a SAFEARRAY may carry, and how large an array
// element of each base type is. Shared by the VARIANT and SAFEARRAY code so
// that both accept exactly the same set of types.
#ifndef QXCOM_PLATFORM_VARIANT_TYPES_H_
#define QXCOM_PLATFORM_VARIANT_TYPES_H_

#include "qxcom/types.h"

namespace qxcom {

// True when `vt` is a tag a VARIANT may hold: a plain base type, or a base
// type combined with VT_ARRAY and/or VT_BYREF. VT_RECORD is refused in every
// form because the platform has no IRecordInfo to copy or free a record.
bool IsValidVariantType(VARTYPE vt);

// Size in bytes of one array element of base type `vt`, or 0 when arrays of
// that type cannot be made (VT_EMPTY, VT_NULL, VT_RECORD, unknown tags).
ULONG ArrayElementSize(VARTYPE vt);

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_VARIANT_TYPES_H_
