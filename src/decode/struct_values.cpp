// Values of described types: the choice between struct, array and built-in
// value, and structs read into struct objects member by member.
#include "decode/simple_types.h"
#include "decode/value_decoder.h"
#include "model/fault_record.h"
#include "model/struct_member_list.h"
#include "qxsoap/struct_object.h"
#include "xml/namespaces.h"
#include "xml/same_text.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

// The class context the struct component is created in: in process, or any
// server the registration names.
constexpr DWORD kStructContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

constexpr ValueDecoder::SiteMessage kInvalidMemberReference{
    u"Encountered struct member accessor with invalid reference."};

// A struct object being filled; released on every path unless handed out.
class StructBuilder {
 public:
  // An empty struct object with room for the members `record` has.
  StructBuilder(IClassFactory& factory, const AccessorHandler& record, bool needDetail)
      : needDetail_(needDetail) {
    const HRESULT hr =
        factory.CreateInstance(nullptr, IID_StructObject, reinterpret_cast<void**>(object_.put()));
    if (FAILED(hr) || !object_) RaiseInternalError(needDetail_);
    ownList_ = StructMemberList::Of(object_.get());
    if (ownList_ && FAILED(ownList_->Reserve(record.ChildRecords().Count()))) {
      RaiseInternalError(needDetail_);
    }
  }

  // Appends a member, handing `value` over to the module's own struct
  // objects and a copy to any other. A member the object cannot keep is an
  // internal error rather than a value silently lost.
  void Add(const ValueDecoder::Member& member, VARIANT* value) {
    const HRESULT hr = ownList_ ? ownList_->Adopt(member.names, value) : AddCopy(*member.names, *value);
    if (FAILED(hr)) RaiseInternalError(needDetail_);
  }

  // Hands the object out as VT_DISPATCH.
  void HandOut(VARIANT* out) {
    IDispatch* dispatch = nullptr;
    if (FAILED(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) ||
        !dispatch) {
      RaiseInternalError(needDetail_);
    }
    V_VT(out) = VT_DISPATCH;
    V_DISPATCH(out) = dispatch;
  }

 private:
  HRESULT AddCopy(const MemberName& names, const VARIANT& value) {
    const qxcom::ArgumentBstr name(names.name);
    const qxcom::ArgumentBstr ns(names.namespaceURI);
    if (!name.get() || !ns.get()) return E_OUTOFMEMORY;
    VARIANT_BOOL stored = VARIANT_FALSE;
    return object_->AddMember(name.get(), ns.get(), value, &stored);
  }

  bool needDetail_;
  qxcom::ComPtr<StructObject> object_;
  StructMemberList* ownList_ = nullptr;  // the object's own members, when it is of this module
};

}  // namespace

IClassFactory& ValueDecoder::StructFactory(bool needDetail) {
  if (!structFactory_) {
    const HRESULT hr = CoGetClassObject(CLSID_StructObject, kStructContext, nullptr,
                                        IID_IClassFactory,
                                        reinterpret_cast<void**>(structFactory_.put()));
    if (FAILED(hr) || !structFactory_) RaiseInternalError(needDetail);
  }
  return *structFactory_.get();
}

ValueDecoder::StructType& ValueDecoder::StructTypeOf(TypeRef type) {
  for (const std::unique_ptr<StructType>& known : structTypes_) {
    if (SameText(known->type.name, type.name) && SameText(known->type.ns, type.ns)) return *known;
  }
  structTypes_.push_back(
      std::make_unique<StructType>(StructType{{std::u16string(type.name), std::u16string(type.ns)}, {}}));
  return *structTypes_.back();
}

const ValueDecoder::Member& ValueDecoder::MemberOf(StructType& structType,
                                                   const AccessorHandler& member, size_t position) {
  const std::u16string_view name = member.LocalName();
  const std::u16string_view ns = member.NamespaceUri();
  const auto is = [&](const Member& known) {
    return SameText(known.treeName, name) && SameText(known.treeNs, ns);
  };
  // Structs of one type mostly list their members in one order.
  if (position < structType.members.size() && is(structType.members[position])) {
    return structType.members[position];
  }
  for (const Member& known : structType.members) {
    if (is(known)) return known;
  }
  std::optional<PortType> memberType = AskMemberType(port_, structType.type.Ref(), {name, ns});
  if (!memberType) {
    RaiseFault(FaultKind::kSender, u"Encountered struct member accessor with unrecognized type.",
               member.FaultsNeedDetail());
  }
  const SimpleType simpleType(memberType->name);
  const bool builtIn = IsBuiltInTypeNamespace(memberType->ns);
  Member made{std::make_shared<const MemberName>(MemberName{std::u16string(name), std::u16string(ns)}),
              name, ns, std::move(*memberType), builtIn, simpleType};
  structType.members.push_back(std::move(made));
  return structType.members.back();
}

void ValueDecoder::ComplexEncoded(std::u16string_view expectedStyle, const AccessorHandler& record,
                                  const AccessorHandler& referrer, bool byReference, TypeRef type,
                                  VARIANT* out) {
  const std::optional<PortType> base = AskBaseType(port_, type);
  if (!base) {
    RaiseFault(FaultKind::kSender, u"Encountered accessor with unrecognized type.",
               record.FaultsNeedDetail());
  }
  if (!IsSoapEncodingNamespace(base->ns) || base->name == u"Struct"sv) {
    StructEncoded(expectedStyle, type, record, out);
  } else if (base->name == u"Array"sv) {
    const AccessorAttributes::Value offset =
        byReference ? referrer.Attributes().offset : std::nullopt;
    ArrayEncoded(expectedStyle, type, record, offset, out);
  } else {
    SimpleEncoded(expectedStyle, record, base->name, out);
  }
}

void ValueDecoder::StructEncoded(std::u16string_view expectedStyle, TypeRef type,
                                 const AccessorHandler& record, VARIANT* out) {
  const Nesting nesting(*this, record);
  const bool detail = record.FaultsNeedDetail();
  if (!record.encodingStyle.empty() && !SameText(record.encodingStyle, expectedStyle)) {
    RaiseUnsupportedStyle(u"Unsupported encodingStyle on struct accessor.", detail);
  }
  const AccessorAttributes::Value nodeType = record.Attributes().nodeType;
  if (nodeType && !(*nodeType).empty() && *nodeType != u"struct"sv) {
    RaiseFault(FaultKind::kSender, u"Incorrect nodeType on struct accessor.", detail);
  }
  StructType& structType = StructTypeOf(type);
  StructBuilder object(StructFactory(detail), record, detail);
  size_t position = 0;
  for (const AccessorHandler& member : record.ChildRecords()) {
    const Member& known = MemberOf(structType, member, position++);
    const PortType& memberType = known.type;
    qxcom::Variant value;
    const auto [source, attributes] = Follow(member, kInvalidMemberReference, value.get());
    if (source && known.builtIn) {
      SimpleEncoded(expectedStyle, *source, known.simpleType, value.get(),
                    source == &member ? &attributes : nullptr);
    } else if (source) {
      ComplexEncoded(expectedStyle, *source, member, source != &member, memberType.Ref(),
                     value.get());
    }
    object.Add(known, value.get());
  }
  object.HandOut(out);
}

void ValueDecoder::ComplexLiteral(const AccessorHandler& record, TypeRef type, VARIANT* out) {
  if (const std::optional<LiteralArrayType> array = AskLiteralArrayType(port_, type)) {
    ArrayLiteral(record, array->itemElement.Ref(), array->itemType.Ref(), out);
    return;
  }
  const std::optional<PortType> base = AskBaseType(port_, type);
  if (!base) {
    RaiseFault(FaultKind::kSender, u"Encountered accessor with unrecognized type.",
               record.FaultsNeedDetail());
  }
  if (IsBuiltInTypeNamespace(base->ns)) {
    SimpleLiteral(record, base->name, out);
  } else {
    StructLiteral(type, record, out);
  }
}

void ValueDecoder::StructLiteral(TypeRef type, const AccessorHandler& record, VARIANT* out) {
  const Nesting nesting(*this, record);
  StructType& structType = StructTypeOf(type);
  StructBuilder object(StructFactory(record.FaultsNeedDetail()), record, record.FaultsNeedDetail());
  size_t position = 0;
  for (const AccessorHandler& member : record.ChildRecords()) {
    const Member& known = MemberOf(structType, member, position++);
    const PortType& memberType = known.type;
    qxcom::Variant value;
    if (IsBuiltInTypeNamespace(memberType.ns)) {
      SimpleLiteral(member, known.simpleType, value.get());
    } else {
      ComplexLiteral(member, memberType.Ref(), value.get());
    }
    object.Add(known, value.get());
  }
  object.HandOut(out);
}

}  // namespace qxsoap
