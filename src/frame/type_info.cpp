// ITypeInfo of Iqxsoapmsg2, built from the method table.
#include "frame/type_info.h"

#include <string>

#include "frame/at_boundary.h"
#include "frame/dispatch.h"
#include "frame/method_table.h"
#include "frame/module_lifetime.h"

namespace qxsoap {
namespace {

constexpr OLECHAR kInterfaceName[] = u"Iqxsoapmsg2";
constexpr OLECHAR kInterfaceHelp[] = u"Iqxsoapmsg2 Interface";

// One allocation per FUNCDESC handed out; the FUNCDESC comes first so that
// ReleaseFuncDesc finds the block from the pointer the caller returns.
struct FuncDescBlock {
  FUNCDESC desc;
  ELEMDESC params[BoundCall::kMaxParams];
  TYPEDESC pointees[BoundCall::kMaxParams];
};

USHORT ParamFlags(Direction direction) {
  switch (direction) {
    case Direction::kIn:
      return PARAMFLAG_FIN;
    case Direction::kOut:
      return PARAMFLAG_FOUT;
    case Direction::kInOut:
      return PARAMFLAG_FIN | PARAMFLAG_FOUT;
    case Direction::kRetval:
      break;
  }
  return PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
}

FUNCDESC* NewFuncDesc(const MethodInfo& method, size_t slot) {
  auto* block = new FuncDescBlock{};
  FUNCDESC& desc = block->desc;
  desc.memid = method.id;
  desc.funckind = FUNC_DISPATCH;
  desc.invkind = INVOKE_FUNC;
  desc.callconv = CC_STDCALL;
  desc.cParams = SHORT(method.ArgCount());
  desc.oVft = SHORT(slot * sizeof(void*));
  desc.lprgelemdescParam = desc.cParams ? block->params : nullptr;
  desc.elemdescFunc.tdesc.vt = method.ArgCount() < method.params.size()
                                   ? method.params.back().type
                                   : VARTYPE(VT_VOID);
  for (size_t i = 0; i < method.ArgCount(); ++i) {
    const ParamInfo& param = method.params[i];
    ELEMDESC& elem = block->params[i];
    elem.paramdesc.wParamFlags = ParamFlags(param.direction);
    if (param.direction == Direction::kIn) {
      elem.tdesc.vt = param.type;
    } else {
      block->pointees[i].vt = param.type;
      elem.tdesc.vt = VT_PTR;
      elem.tdesc.lptdesc = &block->pointees[i];
    }
  }
  return &desc;
}

class InterfaceTypeInfoImpl final : public ModuleLifetime<ITypeInfo, IID_ITypeInfo> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) override {
    if (!attributes) return E_POINTER;
    return AtBoundary([&] {
      auto* attr = new TYPEATTR{};
      attr->guid = IID_Iqxsoapmsg2;
      attr->memidConstructor = MEMBERID_NIL;
      attr->memidDestructor = MEMBERID_NIL;
      attr->cbSizeInstance = sizeof(void*);
      attr->typekind = TKIND_DISPATCH;
      attr->cFuncs = WORD(kMethodCount);
      attr->cbSizeVft = WORD(kFirstMethodSlot * sizeof(void*));
      attr->cbAlignment = alignof(void*);
      attr->wTypeFlags = TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FNONEXTENSIBLE |
                         TYPEFLAG_FOLEAUTOMATION;
      attr->wMajorVerNum = 1;
      attr->tdescAlias.vt = VT_EMPTY;
      *attributes = attr;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** function) override {
    if (!function) return E_POINTER;
    if (index >= kMethodCount) return TYPE_E_ELEMENTNOTFOUND;
    return AtBoundary([&] {
      *function = NewFuncDesc(Methods()[index], kFirstMethodSlot + index);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID member, BSTR* names, UINT capacity,
                                     UINT* count) override {
    if (!names || !count) return E_POINTER;
    const MethodInfo* method = FindMethod(member);
    if (!method) return TYPE_E_ELEMENTNOTFOUND;
    *count = 0;
    if (capacity == 0) return S_OK;
    names[(*count)++] = SysAllocString(method->name);
    for (size_t i = 0; i < method->ArgCount() && *count < capacity; ++i) {
      names[(*count)++] = SysAllocString(method->params[i].name);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
    return GetMemberIds(Iqxsoapmsg2Interface(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID instance, MEMBERID member, WORD flags, DISPPARAMS* args,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override {
    if (!instance) return E_INVALIDARG;
    return InvokeMember(Iqxsoapmsg2Interface(), *static_cast<Iqxsoapmsg2*>(instance), member,
                        IID_NULL, flags, args, result, exception, argError);
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID member, BSTR* name, BSTR* documentation,
                                             DWORD* helpContext, BSTR* helpFile) override {
    std::u16string shownName = kInterfaceName;
    std::u16string help = kInterfaceHelp;
    if (member != MEMBERID_NIL) {
      const MethodInfo* method = FindMethod(member);
      if (!method) return TYPE_E_ELEMENTNOTFOUND;
      shownName = method->name;
      help = u"method " + shownName;
    }
    if (name) *name = SysAllocString(shownName.c_str());
    if (documentation) *documentation = SysAllocString(help.c_str());
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo**) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override {
    return E_NOTIMPL;  // an interface's description creates nothing
  }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR* marshalling) override {
    if (!marshalling) return E_POINTER;
    *marshalling = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attributes) override { delete attributes; }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* function) override {
    delete reinterpret_cast<FuncDescBlock*>(function);
  }
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}
};

}  // namespace

ITypeInfo& InterfaceTypeInfo() {
  static InterfaceTypeInfoImpl info;
  return info;
}

}  // namespace qxsoap
