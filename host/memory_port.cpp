// The in-memory port description: its answers to the PortDescription calls
// and its reference count.
#include "host/memory_port.h"

namespace qxsoap::host {
namespace {

std::u16string_view View(BSTR text) { return {text ? text : u"", SysStringLen(text)}; }

TypeNameView TypeOf(BSTR name, BSTR ns) { return {View(name), View(ns)}; }

HRESULT Found(VARIANT_BOOL* found, bool yes) {
  *found = yes ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Give(BSTR* out, std::u16string_view text) {
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// Takes back a string given out before a later output failed: the caller
// owns only what the outputs hold after a failure, so each is nulled.
void TakeBack(BSTR* out) {
  SysFreeString(*out);
  *out = nullptr;
}

HRESULT GiveText(const std::u16string* text, BSTR* out, VARIANT_BOOL* found) {
  if (!text) return Found(found, false);
  if (HRESULT hr = Give(out, *text); FAILED(hr)) return hr;
  return Found(found, true);
}

HRESULT GiveText(const std::optional<std::u16string>& text, BSTR* out, VARIANT_BOOL* found) {
  return GiveText(text ? &*text : nullptr, out, found);
}

HRESULT GiveType(const TypeNameView* type, BSTR* name, BSTR* ns, VARIANT_BOOL* found) {
  if (!type) return Found(found, false);
  if (HRESULT hr = Give(name, type->name); FAILED(hr)) return hr;
  if (HRESULT hr = Give(ns, type->ns); FAILED(hr)) {
    TakeBack(name);
    return hr;
  }
  return Found(found, true);
}

HRESULT GiveType(const TypeName* type, BSTR* name, BSTR* ns, VARIANT_BOOL* found) {
  const TypeNameView view = type ? TypeNameView{type->name, type->ns} : TypeNameView();
  return GiveType(type ? &view : nullptr, name, ns, found);
}

template <typename Map, typename Key>
const typename Map::mapped_type* Lookup(const Map& map, const Key& key) {
  auto entry = map.find(key);
  return entry == map.end() ? nullptr : &entry->second;
}

HRESULT GiveBlockType(const BlockDeclaration* block, BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
  return GiveType(block ? &block->type : nullptr, typeName, typeNS, found);
}

// An empty encodingStyle or use was not declared: not found, so that a
// literal block stays literal.
HRESULT GiveBlockText(const BlockDeclaration* block, std::u16string BlockDeclaration::*text, BSTR* out,
                      VARIANT_BOOL* found) {
  return GiveText(block && !(block->*text).empty() ? &(block->*text) : nullptr, out, found);
}

}  // namespace

const OperationDeclaration* MemoryPort::FindOperation(BSTR op) const { return Lookup(operations_, View(op)); }

HRESULT MemoryPort::GiveOperationText(BSTR op, OperationText text, BSTR* out, VARIANT_BOOL* found) const {
  const OperationDeclaration* operation = FindOperation(op);
  return GiveText(operation ? operation->*text : std::nullopt, out, found);
}

const BlockDeclaration* MemoryPort::FindBlock(BSTR op, Blocks blocks, BSTR part, BSTR ns) const {
  const OperationDeclaration* operation = FindOperation(op);
  return operation ? Lookup(operation->*blocks, TypeOf(part, ns)) : nullptr;
}

const PartDeclaration* MemoryPort::FindPart(BSTR op, BSTR part, LONG* position) const {
  const OperationDeclaration* operation = FindOperation(op);
  if (!operation) return nullptr;
  for (size_t i = 0; i < operation->parts.size(); ++i) {
    if (operation->parts[i].name != View(part)) continue;
    if (position) *position = static_cast<LONG>(i);
    return &operation->parts[i];
  }
  return nullptr;
}

std::optional<TypeNameView> MemoryPort::BaseOf(TypeNameView type) const {
  if (const TypeName* base = Lookup(bases_, type)) return TypeNameView{base->name, base->ns};
  if (IsSchemaNamespace(type.ns)) return type;
  return std::nullopt;
}

// ---- IUnknown, IDispatch ----

HRESULT MemoryPort::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const bool asPort = offersInterface_ && iid == IID_PortDescription;
  if (!asPort && iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
  *object = static_cast<PortDescription*>(this);
  AddRef();
  return S_OK;
}

ULONG MemoryPort::AddRef() { return ++references_; }

ULONG MemoryPort::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT MemoryPort::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT MemoryPort::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT MemoryPort::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT MemoryPort::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// ---- PortDescription ----

HRESULT MemoryPort::GetSOAPAction(BSTR op, BSTR* action, VARIANT_BOOL* found) {
  return GiveOperationText(op, &OperationDeclaration::action, action, found);
}

HRESULT MemoryPort::GetOperationNS(BSTR op, BSTR* ns, VARIANT_BOOL* found) {
  const OperationDeclaration* operation = FindOperation(op);
  return GiveText(operation ? &operation->ns : nullptr, ns, found);
}

HRESULT MemoryPort::GetAddress(BSTR* host, BSTR* path, LONG* port, VARIANT_BOOL* found) {
  if (!hasAddress_) return Found(found, false);
  *port = address_.port;
  const TypeName hostAndPath{address_.host, address_.path};
  return GiveType(&hostAndPath, host, path, found);
}

HRESULT MemoryPort::GetInputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) {
  return GiveOperationText(op, &OperationDeclaration::inputUse, use, found);
}

HRESULT MemoryPort::GetOutputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) {
  return GiveOperationText(op, &OperationDeclaration::outputUse, use, found);
}

HRESULT MemoryPort::GetInputEncodingStyle(BSTR op, BSTR* style, VARIANT_BOOL* found) {
  return GiveOperationText(op, &OperationDeclaration::inputEncodingStyle, style, found);
}

HRESULT MemoryPort::GetOutputEncodingStyle(BSTR op, BSTR* style, VARIANT_BOOL* found) {
  return GiveOperationText(op, &OperationDeclaration::outputEncodingStyle, style, found);
}

HRESULT MemoryPort::GetStyle(BSTR* style, VARIANT_BOOL* found) { return GiveText(style_, style, found); }

HRESULT MemoryPort::IsParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) {
  const PartDeclaration* declared = FindPart(op, part);
  return Found(flag, declared && !declared->isReturn);
}

HRESULT MemoryPort::GetInputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
  const PartDeclaration* declared = FindPart(op, part);
  return GiveType(declared && declared->isIn ? &declared->type : nullptr, typeName, typeNS, found);
}

HRESULT MemoryPort::GetOutputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
  const PartDeclaration* declared = FindPart(op, part);
  if (!declared || !declared->isOut) return Found(found, false);
  return GiveType(declared->outputType ? &*declared->outputType : &declared->type, typeName, typeNS, found);
}

HRESULT MemoryPort::IsInParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) {
  const PartDeclaration* declared = FindPart(op, part);
  return Found(flag, declared && declared->isIn);
}

HRESULT MemoryPort::IsOutParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) {
  const PartDeclaration* declared = FindPart(op, part);
  return Found(flag, declared && declared->isOut);
}

HRESULT MemoryPort::GetFirstPart(BSTR op, BSTR* part, LONG* position, VARIANT_BOOL* found) {
  *position = -1;
  return GetNextPart(op, part, position, found);
}

HRESULT MemoryPort::GetNextPart(BSTR op, BSTR* part, LONG* position, VARIANT_BOOL* found) {
  const OperationDeclaration* operation = FindOperation(op);
  const ULONG next = static_cast<ULONG>(*position) + 1u;
  if (!operation || next >= operation->parts.size()) return Found(found, false);
  *position = static_cast<LONG>(next);
  return GiveText(&operation->parts[next].name, part, found);
}

HRESULT MemoryPort::GetHeaderType(BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
  return GiveType(Lookup(headerTypes_, TypeOf(part, ns)), typeName, typeNS, found);
}

HRESULT MemoryPort::GetMemberType(BSTR typeName, BSTR typeNS, BSTR member, BSTR memberNS,
                                  BSTR* memberTypeName, BSTR* memberTypeNS, VARIANT_BOOL* found) {
  const auto key =
      MemberKeyView{TypeOf(typeName, typeNS), View(member), View(memberNS)};
  return GiveType(Lookup(members_, key), memberTypeName, memberTypeNS, found);
}

HRESULT MemoryPort::GetBaseType(BSTR typeName, BSTR typeNS, BSTR* baseName, BSTR* baseNS,
                                VARIANT_BOOL* found) {
  const std::optional<TypeNameView> base = BaseOf(TypeOf(typeName, typeNS));
  return GiveType(base ? &*base : nullptr, baseName, baseNS, found);
}

HRESULT MemoryPort::GetArrayItemType(BSTR typeName, BSTR typeNS, BSTR* itemName, BSTR* itemNS,
                                     VARIANT_BOOL* found) {
  const EncodedArrayDeclaration* array = Lookup(encodedArrays_, TypeOf(typeName, typeNS));
  return GiveType(array ? &array->item : nullptr, itemName, itemNS, found);
}

HRESULT MemoryPort::GetInputHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                       VARIANT_BOOL* found) {
  return GiveBlockType(FindBlock(op, &OperationDeclaration::inputHeaders, part, ns), typeName, typeNS, found);
}

HRESULT MemoryPort::GetOutputHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                        VARIANT_BOOL* found) {
  return GiveBlockType(FindBlock(op, &OperationDeclaration::outputHeaders, part, ns), typeName, typeNS,
                       found);
}

HRESULT MemoryPort::GetFaultHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                       VARIANT_BOOL* found) {
  return GiveBlockType(FindBlock(op, &OperationDeclaration::faultHeaders, part, ns), typeName, typeNS, found);
}

HRESULT MemoryPort::GetFaultDetailType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                       VARIANT_BOOL* found) {
  return GiveBlockType(FindBlock(op, &OperationDeclaration::faultDetails, part, ns), typeName, typeNS, found);
}

HRESULT MemoryPort::GetArrayRank(BSTR typeName, BSTR typeNS, LONG* rank, VARIANT_BOOL* found) {
  const EncodedArrayDeclaration* array = Lookup(encodedArrays_, TypeOf(typeName, typeNS));
  if (!array) return Found(found, false);
  *rank = array->rank;
  return Found(found, true);
}

HRESULT MemoryPort::GetReturnType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
  const PartDeclaration* declared = FindPart(op, part);
  return GiveType(declared && declared->isReturn ? &declared->type : nullptr, typeName, typeNS, found);
}

HRESULT MemoryPort::GetPartPosition(BSTR op, BSTR part, LONG* position, VARIANT_BOOL* found) {
  // The return value stands outside the parameter positions.
  const PartDeclaration* declared = FindPart(op, part, position);
  return Found(found, declared && !declared->isReturn);
}

HRESULT MemoryPort::GetBindingNS(BSTR* ns, VARIANT_BOOL* found) { return GiveText(bindingNS_, ns, found); }

HRESULT MemoryPort::GetInputHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                VARIANT_BOOL* found) {
  return GiveBlockText(FindBlock(op, &OperationDeclaration::inputHeaders, part, ns),
                       &BlockDeclaration::encodingStyle, style, found);
}

HRESULT MemoryPort::GetOutputHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                 VARIANT_BOOL* found) {
  return GiveBlockText(FindBlock(op, &OperationDeclaration::outputHeaders, part, ns),
                       &BlockDeclaration::encodingStyle, style, found);
}

HRESULT MemoryPort::GetFaultHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                VARIANT_BOOL* found) {
  return GiveBlockText(FindBlock(op, &OperationDeclaration::faultHeaders, part, ns),
                       &BlockDeclaration::encodingStyle, style, found);
}

HRESULT MemoryPort::IsSOAPActionRequired(BSTR op, VARIANT_BOOL* flag, VARIANT_BOOL* found) {
  const OperationDeclaration* operation = FindOperation(op);
  *flag = operation ? operation->actionRequired : VARIANT_FALSE;
  return Found(found, operation && (operation->action || operation->actionRequired == VARIANT_TRUE));
}

HRESULT MemoryPort::GetFaultDetailEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                VARIANT_BOOL* found) {
  return GiveBlockText(FindBlock(op, &OperationDeclaration::faultDetails, part, ns),
                       &BlockDeclaration::encodingStyle, style, found);
}

HRESULT MemoryPort::GetFaultDetailUse(BSTR op, BSTR part, BSTR ns, BSTR* use, VARIANT_BOOL* found) {
  return GiveBlockText(FindBlock(op, &OperationDeclaration::faultDetails, part, ns), &BlockDeclaration::use,
                       use, found);
}

HRESULT MemoryPort::GetLiteralArrayType(BSTR typeName, BSTR typeNS, BSTR* itemTypeName, BSTR* itemTypeNS,
                                        BSTR* itemElemName, BSTR* itemElemNS, VARIANT_BOOL* found) {
  const LiteralArrayDeclaration* array = Lookup(literalArrays_, TypeOf(typeName, typeNS));
  if (!array) return Found(found, false);
  if (HRESULT hr = GiveType(&array->itemType, itemTypeName, itemTypeNS, found); FAILED(hr)) return hr;
  if (HRESULT hr = GiveType(&array->itemElement, itemElemName, itemElemNS, found); FAILED(hr)) {
    TakeBack(itemTypeName);
    TakeBack(itemTypeNS);
    return hr;
  }
  return Found(found, true);
}

}  // namespace qxsoap::host
