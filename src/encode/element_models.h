// encode/element_models.h: elements already written that the next ones of
// the same kind copy. Items of an array, and the members of the structs in
// one array, repeat the same names and typing attributes and differ in
// their text only: each after the first is made as a copy of its model
// (XmlElement::AddChildLike) with its own text, instead of being named,
// declared and typed afresh.
#ifndef QXSOAP_ENCODE_ELEMENT_MODELS_H_
#define QXSOAP_ENCODE_ELEMENT_MODELS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qxcom/oleauto.h"
#include "xml/same_text.h"

namespace qxsoap {

class XmlElement;

// The last simple value written in one place, as the model of the next
// values of its VARTYPE there. Null values and attachments are never
// models: their attributes differ from value to value.
struct SimpleModel {
  const XmlElement* ModelFor(const VARIANT& value) const {
    return element && V_VT(&value) == type ? element : nullptr;
  }
  void Remember(const XmlElement& written, const VARIANT& value, uint16_t writtenCode) {
    if (V_VT(&value) == VT_NULL || V_VT(&value) == VT_UNKNOWN) return;
    element = &written;
    type = V_VT(&value);
    code = writtenCode;
  }

  const XmlElement* element = nullptr;
  VARTYPE type = VT_EMPTY;
  uint16_t code = 0;  // the conversion of the value's text
};

// The models of the structs of one array: the first struct item (its name
// and typing attributes), and each member position's last simple member
// with its name, which a member of another name at that position does not
// match.
class StructModels {
 public:
  const XmlElement* item = nullptr;

  // The model for member `index` named `name` in `ns` holding `value`, or
  // null.
  const SimpleModel* MemberModel(size_t index, std::u16string_view name, std::u16string_view ns,
                                 const VARIANT& value) const {
    if (index >= members_.size()) return nullptr;
    const Member& member = members_[index];
    return member.simple.ModelFor(value) && SameText(member.name, name) && SameText(member.ns, ns)
               ? &member.simple
               : nullptr;
  }
  void Remember(size_t index, std::u16string_view name, std::u16string_view ns,
                const XmlElement& written, const VARIANT& value, uint16_t code) {
    if (index >= members_.size()) members_.resize(index + 1);
    Member& member = members_[index];
    member.name.assign(name);
    member.ns.assign(ns);
    member.simple.Remember(written, value, code);
  }

 private:
  struct Member {
    std::u16string name;
    std::u16string ns;
    SimpleModel simple;
  };
  std::vector<Member> members_;
};

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_ELEMENT_MODELS_H_
