// Content copies in and out of the list records, and the literal body
// written out.
#include "model/elem_records.h"

#include "xml/xml_writer.h"

namespace qxsoap {

std::u16string ElementXml::Text() const {
  if (!element_) return text_;
  std::u16string text;
  WriteElement(*element_, nullptr, text);
  return text;
}

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
