// The mustUnderstand header blocks addressed to this node, by name.
#include "model/mu_header_blocks.h"

#include <string>
#include <vector>

#include "qxcom/owned.h"

namespace qxsoap {
namespace {

struct BlockName {
  const std::u16string* namespaceURI;
  const std::u16string* name;
};

template <typename Record>
void CollectMustUnderstand(const RecordList<Record>& blocks, const NodeTargeting& node,
                           std::vector<BlockName>& names) {
  for (const auto& block : blocks) {
    if (block->mustUnderstand && IsTargeted(block->actorURI, node)) {
      names.push_back({&block->namespaceURI, &block->name});
    }
  }
}

HRESULT PutText(SAFEARRAY* array, LONG row, LONG column, const std::u16string& text) {
  qxcom::Variant element;
  V_BSTR(element.get()) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!V_BSTR(element.get())) return E_OUTOFMEMORY;
  V_VT(element.get()) = VT_BSTR;
  LONG indices[2] = {row, column};
  return SafeArrayPutElement(array, indices, element.get());
}

}  // namespace

HRESULT HandOutMustUnderstandBlocks(const HeaderLists& headers, const NodeTargeting& node,
                                    VARIANT* out) {
  if (!out) return E_POINTER;
  VariantClear(out);
  std::vector<BlockName> names;
  CollectMustUnderstand(headers.typed, node, names);
  CollectMustUnderstand(headers.literal, node, names);
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {static_cast<ULONG>(names.size()), 0}};
  qxcom::SafeArrayPtr array(SafeArrayCreate(VT_VARIANT, 2, bounds));
  if (!array.get()) return E_FAIL;
  for (size_t i = 0; i < names.size(); ++i) {
    const LONG column = static_cast<LONG>(i);
    if (FAILED(PutText(array.get(), 0, column, *names[i].namespaceURI)) ||
        FAILED(PutText(array.get(), 1, column, *names[i].name))) {
      return E_FAIL;
    }
  }
  V_VT(out) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(out) = array.release();
  return S_OK;
}

}  // namespace qxsoap
