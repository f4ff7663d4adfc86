// Values of described types: the choice between struct, array and built-in
// value, and structs read into struct objects member by member.
#include "decode/simple_types.h"
#include "decode/value_decoder.h"
#include "model/fault_record.h"
#include "qxsoap/struct_object.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

// The class context the struct component is created in: in process, or any
// server the registration names.
constexpr DWORD kStructContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

[[noreturn]] void RaiseInternalError(bool needDetail) {
  RaiseFault(FaultKind::kReceiver, u"Internal error.", needDetail);
}

// A struct object being filled; released on every path unless handed out.
class StructBuilder {
 public:
  explicit StructBuilder(bool needDetail) : needDetail_(needDetail) {
    const HRESULT hr = CoCreateInstance(CLSID_StructObject, nullptr, kStructContext,
                                        IID_StructObject, reinterpret_cast<void**>(object_.put()));
    if (FAILED(hr) || !object_) RaiseInternalError(needDetail_);
  }

  // Appends a member. A member the object cannot keep is an internal error
  // rather than a value silently lost.
  void Add(std::u16string_view name, std::u16string_view ns, const VARIANT& value) {
    const qxcom::Bstr memberName(SysAllocStringLen(name.data(), UINT(name.size())));
    const qxcom::Bstr memberNs(SysAllocStringLen(ns.data(), UINT(ns.size())));
    if (!memberName.get() || !memberNs.get()) RaiseInternalError(needDetail_);
    VARIANT_BOOL stored = VARIANT_FALSE;
    if (FAILED(object_->AddMember(memberName.get(), memberNs.get(), value, &stored))) {
      RaiseInternalError(needDetail_);
    }
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
  bool needDetail_;
  qxcom::ComPtr<StructObject> object_;
};

// The type the port gives `member` of a struct of `type`; a member it does
// not know is refused, whatever type the message gives it.
PortType MemberType(PortDescription& port, TypeRef type, const AccessorHandler& member) {
  std::optional<PortType> memberType =
      AskMemberType(port, type, {member.LocalName(), member.NamespaceUri()});
  if (!memberType) {
    RaiseFault(FaultKind::kSender, u"Encountered struct member accessor with unrecognized type.",
               member.FaultsNeedDetail());
  }
  return std::move(*memberType);
}

}  // namespace

void ValueDecoder::ComplexEncoded(std::u16string_view expectedStyle, const AccessorHandler& record,
                                  const AccessorHandler& referrer, bool byReference, TypeRef type,
                                  VARIANT* out) {
  const std::optional<PortType> base = AskBaseType(port_, type);
  if (!base) {
    RaiseFault(FaultKind::kSender, u"Encountered accessor with unrecognized type.",
               record.FaultsNeedDetail());
  }
  if (!IsSoapEncodingNamespace(base->ns) || base->name == u"Struct") {
    StructEncoded(expectedStyle, type, record, out);
  } else if (base->name == u"Array") {
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
  if (!record.encodingStyle.empty() && record.encodingStyle != expectedStyle) {
    RaiseUnsupportedStyle(u"Unsupported encodingStyle on struct accessor.", detail);
  }
  const AccessorAttributes::Value nodeType = record.Attributes().nodeType;
  if (nodeType && !nodeType->empty() && *nodeType != u"struct") {
    RaiseFault(FaultKind::kSender, u"Incorrect nodeType on struct accessor.", detail);
  }
  StructBuilder object(detail);
  for (const AccessorHandler& member : record.ChildRecords()) {
    const PortType memberType = MemberType(port_, type, member);
    qxcom::Variant value;
    const AccessorHandler* source =
        Follow(member, u"Encountered struct member accessor with invalid reference.", value.get());
    if (source && IsBuiltInTypeNamespace(memberType.ns)) {
      SimpleEncoded(expectedStyle, *source, memberType.name, value.get());
    } else if (source) {
      ComplexEncoded(expectedStyle, *source, member, source != &member, memberType.Ref(),
                     value.get());
    }
    object.Add(member.LocalName(), member.NamespaceUri(), *value.get());
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
  StructBuilder object(record.FaultsNeedDetail());
  for (const AccessorHandler& member : record.ChildRecords()) {
    const PortType memberType = MemberType(port_, type, member);
    qxcom::Variant value;
    if (IsBuiltInTypeNamespace(memberType.ns)) {
      SimpleLiteral(member, memberType.name, value.get());
    } else {
      ComplexLiteral(member, memberType.Ref(), value.get());
    }
    object.Add(member.LocalName(), member.NamespaceUri(), *value.get());
  }
  object.HandOut(out);
}

}  // namespace qxsoap
