// Struct objects, encoded and literal: one member element per member of the
// object, in its own order, each typed by the port's description of the
// struct type.
#include "encode/element_models.h"
#include "encode/typing.h"
#include "encode/value_writer.h"
#include "model/struct_member_list.h"
#include "qxcom/owned.h"
#include "qxsoap/struct_object.h"
#include "xml/namespaces.h"
#include "xml/xml_element.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

// Counts one level in `depth` while alive.
class Level {
 public:
  explicit Level(int& depth) : depth_(++depth) {}
  ~Level() { --depth_; }
  Level(const Level&) = delete;
  Level& operator=(const Level&) = delete;

 private:
  int& depth_;
};

// Calls `write(name, namespace, value)` for each member of the struct
// object `value` holds, while it returns true. False when the value is no
// struct object, or when `write` fails. The members of an object of
// another implementation are copies: `copiedDepth` counts them while they
// are written.
template <typename Write>
bool ForEachMember(const VARIANT& value, int& copiedDepth, Write&& write) {
  if (V_VT(&value) != VT_DISPATCH && V_VT(&value) != VT_UNKNOWN) return false;
  IUnknown* object = V_UNKNOWN(&value);
  // The module's own struct objects are read in place; any other
  // implementation hands out a copy of each member.
  if (const StructMemberList* own = StructMemberList::Of(object)) {
    for (const StructMemberList::Member& member : own->Members()) {
      if (!write(member.Name(), member.NamespaceURI(), *member.value.get())) return false;
    }
    return true;
  }
  qxcom::ComPtr<StructObject> members;
  if (!object ||
      FAILED(object->QueryInterface(IID_StructObject, reinterpret_cast<void**>(members.put())))) {
    return false;
  }
  const Level copies(copiedDepth);
  LONG position = 0;
  for (bool first = true;; first = false) {
    BSTR name = nullptr;
    BSTR ns = nullptr;
    qxcom::Variant member;
    VARIANT_BOOL present = VARIANT_FALSE;
    const HRESULT hr = first ? members->FirstMember(&name, &ns, member.get(), &position, &present)
                             : members->NextMember(&name, &ns, member.get(), &position, &present);
    const qxcom::Bstr ownedName(name);
    const qxcom::Bstr ownedNs(ns);
    if (FAILED(hr)) return false;
    if (present == VARIANT_FALSE) return true;
    if (!write(std::u16string_view(name ? name : u"", SysStringLen(name)),
               std::u16string_view(ns ? ns : u"", SysStringLen(ns)), *member.get())) {
      return false;
    }
  }
}

}  // namespace

bool ValueWriter::EncodedStruct(XmlElement& element, TypeRef type, const VARIANT& value,
                                std::u16string_view encodingStyle, StructModels* models) {
  const Nesting level(depth_);
  size_t index = 0;
  const bool written = ForEachMember(value, copiedDepth_, [&](std::u16string_view name, std::u16string_view ns,
                                                const VARIANT& member) {
    const size_t position = index++;
    if (const SimpleModel* model = models ? models->MemberModel(position, name, ns, member) : nullptr) {
      SetValueText(element.AddChildLike(*model->element), model->code, member);
      return true;
    }
    const std::optional<PortType> memberType = AskMemberType(port_, type, {name, ns});
    if (!memberType) return false;
    XmlElement& child = NewPrefixedChild(element, u"nsm"sv, name, ns);
    if (!WriteEncoded(child, memberType->Ref(), member, encodingStyle)) return false;
    if (models && IsBuiltInTypeNamespace(memberType->ns)) {
      if (const std::optional<SimpleForm> form = FormOf(memberType->Ref(), V_VT(&member))) {
        models->Remember(position, name, ns, child, member, form->code);
      }
    }
    return true;
  });
  if (!written) return false;
  if (models && models->item) return true;  // typed as a copy of the first struct
  if (explicitTyping_) AddTypeAttribute(element, u"nss"sv, type);
  AddNodeType(element, u"struct"sv);
  return true;
}

bool ValueWriter::LiteralStruct(XmlElement& element, TypeRef type, const VARIANT& value) {
  const Nesting level(depth_);
  const bool written = ForEachMember(value, copiedDepth_, [&](std::u16string_view name, std::u16string_view ns,
                                                const VARIANT& member) {
    const std::optional<PortType> memberType = AskMemberType(port_, type, {name, ns});
    return memberType && WriteLiteral(element, name, ns, memberType->Ref(), member);
  });
  if (!written) return false;
  if (explicitTyping_) {
    // An element named in its own namespace has taken nss already; its type
    // then goes under ns, so that xsi:type names the type and not the
    // element's namespace.
    const std::u16string_view* taken = element.Scope().Find(u"nss"sv);
    AddTypeAttribute(element, taken && *taken != type.ns ? u"ns"sv : u"nss"sv, type);
  }
  return true;
}

}  // namespace qxsoap
