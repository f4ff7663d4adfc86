// Content copies in and out of the list records.
#include "model/elem_records.h"

namespace qxsoap {

HRESULT CopyContentIn(ElemRecord& record, const VARIANT* source) {
  if (!source) return VariantClear(record.content.get());
  return VariantCopyInd(record.content.get(), source);
}

HRESULT HandOutContent(const ElemRecord* record, VARIANT* out) {
  if (!out) return E_POINTER;
  if (!record) return VariantClear(out);
  return VariantCopy(out, record->content.get());
}

}  // namespace qxsoap
