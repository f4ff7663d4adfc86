// Struct members: appended by copy or by taking the value over, and the
// list found behind a struct object's module-private interface.
#include "model/struct_member_list.h"

#include <new>

namespace qxsoap {

const IID kIID_StructMemberList = {
    0x6c1f3a52, 0x9e47, 0x4b0d, {0x8a, 0x31, 0x5e, 0x72, 0xc4, 0x0b, 0x19, 0xd6}};

StructMemberList* StructMemberList::Of(IUnknown* object) {
  void* list = nullptr;
  if (!object || FAILED(object->QueryInterface(kIID_StructMemberList, &list)) || !list) return nullptr;
  object->Release();  // the caller's reference keeps the object and its list alive
  return static_cast<StructMemberList*>(list);
}

StructMemberList::Member& StructMemberList::Append(SharedMemberName names) {
  // Structs mostly have a few members: room for them at once instead of
  // growing through one and two.
  if (members_.empty()) members_.reserve(4);
  // Made in place, empty, and then named: no member is built beside the
  // list and moved in.
  Member& member = members_.emplace_back();
  member.names = std::move(names);
  return member;
}

HRESULT StructMemberList::Reserve(size_t count) {
  try {
    members_.reserve(count);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT StructMemberList::Add(std::u16string_view name, std::u16string_view namespaceURI, const VARIANT& value) {
  try {
    qxcom::Variant copy;
    if (HRESULT hr = VariantCopyInd(copy.get(), &value); FAILED(hr)) return hr;
    auto names = std::make_shared<const MemberName>(
        MemberName{std::u16string(name), std::u16string(namespaceURI)});
    Append(std::move(names)).value = std::move(copy);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT StructMemberList::Adopt(const SharedMemberName& names, VARIANT* value) {
  if (V_ISBYREF(value)) return Add(names->name, names->namespaceURI, *value);
  try {
    Member& member = Append(names);
    *member.value.get() = *value;
    VariantInit(value);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace qxsoap
