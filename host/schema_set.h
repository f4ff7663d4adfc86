// host/schema_set.h: the XML Schema declarations a WSDL port uses, read
// from its inline schemas and the schema files they import, and turned into
// the types the port description answers for: structs with their members
// and bases, encoded and literal arrays, derived simple types.
#ifndef QXSOAP_HOST_SCHEMA_SET_H_
#define QXSOAP_HOST_SCHEMA_SET_H_

#include <deque>
#include <map>
#include <set>
#include <vector>

#include "host/wsdl_model.h"
#include "host/wsdl_source.h"

namespace qxsoap::host {

class SchemaSet {
 public:
  explicit SchemaSet(WsdlSources& sources) : sources_(sources) {}

  // Files the global elements and types of `schema`, and of the schema
  // files it imports or includes by schemaLocation.
  void Add(const XmlElement& schema);

  // The type of global element `element`: its named or built-in type, or
  // the element's own name for its anonymous complexType. Fails at `at` when
  // no schema declares the element.
  TypeName ElementType(const TypeName& element, const XmlElement& at);

  // Fails at `at` unless `type` is built in or declared by a schema.
  void CheckType(const TypeName& type, const XmlElement& at) const;

  // Every declared type, in declaration order; fails on any construct that
  // is not supported.
  std::vector<TypeModel> Build();

 private:
  struct Schema {
    std::u16string targetNamespace;
    bool qualified = false;
  };
  struct Declaration {
    const XmlElement* element;
    const Schema* schema;
  };

  void Declare(std::map<TypeName, Declaration>& declarations, const XmlElement& element,
               const Schema& schema);
  const TypeModel& BuildType(const TypeName& name, const XmlElement& at);
  void ReadComplexType(const XmlElement& complexType, const Schema& schema, TypeModel& model);
  void ReadComplexContent(const XmlElement& content, const Schema& schema, TypeModel& model);
  void ReadEncodedArray(const XmlElement& restriction, TypeModel& model);
  void ReadSimpleType(const XmlElement& simpleType, TypeModel& model);
  // Appends the element particles of a sequence or all; true when the group
  // is a sequence of one element that may repeat (a literal array).
  bool ReadParticles(const XmlElement& group, const Schema& schema, TypeModel& model);
  MemberModel ReadMember(const XmlElement& particle, const Schema& schema);
  TypeName TypeAttribute(const XmlElement& element, std::u16string_view local);
  [[noreturn]] void Unsupported(const XmlElement& element, const XmlElement& near) const;

  WsdlSources& sources_;
  std::deque<Schema> schemas_;
  std::map<TypeName, Declaration> elements_, types_;
  std::vector<TypeName> order_;
  std::map<TypeName, TypeModel> built_;
  std::set<TypeName> building_;
};

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SCHEMA_SET_H_
