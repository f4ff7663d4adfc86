// The schema declarations of a port and the types built from them.
#include "host/schema_set.h"

#include <algorithm>

#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

// The longest chain of extensions a type is built through: each base is
// built one call deeper, so a longer chain could run the stack out.
constexpr size_t kMaxDerivationDepth = 256;

bool IsXsd(const XmlElement& element, std::u16string_view local) {
  return IsSchemaNamespace(element.NamespaceUri()) && element.LocalName() == local;
}

bool IsBuiltIn(const TypeName& type) {
  return IsSchemaNamespace(type.ns) || IsSoapEncodingNamespace(type.ns);
}

// Elements of a type that carry no element members.
bool IsIgnoredInType(const XmlElement& element) {
  return IsXsd(element, u"annotation") || IsXsd(element, u"attribute") || IsXsd(element, u"attributeGroup") ||
         IsXsd(element, u"anyAttribute");
}

const XmlElement* FirstChild(const XmlElement& element, std::u16string_view local) {
  for (const XmlElement& child : element.Children()) {
    if (IsXsd(child, local)) return &child;
  }
  return nullptr;
}

bool MayRepeat(const XmlElement& particle) {
  const auto maxOccurs = FindAttribute(particle, u"", u"maxOccurs");
  return maxOccurs && (*maxOccurs == u"unbounded" || (*maxOccurs != u"0" && *maxOccurs != u"1"));
}

}  // namespace

void SchemaSet::Add(const XmlElement& schemaElement) {
  Schema& schema = schemas_.emplace_back();
  schema.targetNamespace = FindAttribute(schemaElement, u"", u"targetNamespace").value_or(u"");
  schema.qualified = FindAttribute(schemaElement, u"", u"elementFormDefault") == u"qualified";
  for (const XmlElement& child : schemaElement.Children()) {
    if (IsXsd(child, u"import") || IsXsd(child, u"include")) {
      const auto location = FindAttribute(child, u"", u"schemaLocation");
      if (!location) continue;  // a namespace another inline schema of the WSDL declares
      const XmlElement* imported = sources_.Load(Narrow(*location), &child);
      if (!imported) continue;
      if (!IsXsd(*imported, u"schema"))
        sources_.Fail(*imported, "an imported schema file must hold an xsd:schema");
      Add(*imported);
    } else if (IsXsd(child, u"element")) {
      Declare(elements_, child, schema);
      if (FirstChild(child, u"complexType")) Declare(types_, child, schema);
    } else if (IsXsd(child, u"complexType") || IsXsd(child, u"simpleType")) {
      Declare(types_, child, schema);
    } else if (IsXsd(child, u"redefine")) {
      Unsupported(child, schemaElement);
    }
  }
}

void SchemaSet::Declare(std::map<TypeName, Declaration>& declarations, const XmlElement& element,
                        const Schema& schema) {
  TypeName name{std::u16string(sources_.Required(element, u"name")), schema.targetNamespace};
  if (!declarations.emplace(name, Declaration{&element, &schema}).second) {
    sources_.Fail(element, Narrow(name.name) + " is declared twice in " + Narrow(name.ns));
  }
  if (&declarations == &types_) order_.push_back(std::move(name));
}

TypeName SchemaSet::ElementType(const TypeName& element, const XmlElement& at) {
  auto declared = elements_.find(element);
  if (declared == elements_.end()) {
    sources_.Fail(at, "no schema declares the element " + Narrow(element.name) + " of " + Narrow(element.ns));
  }
  const XmlElement& declaration = *declared->second.element;
  if (FindAttribute(declaration, u"", u"type")) return TypeAttribute(declaration, u"type");
  if (FirstChild(declaration, u"complexType")) return element;
  if (const XmlElement* simple = FirstChild(declaration, u"simpleType")) Unsupported(*simple, declaration);
  return {u"anyType", std::u16string(XSD2001_NS)};
}

void SchemaSet::CheckType(const TypeName& type, const XmlElement& at) const {
  if (IsBuiltIn(type) || types_.contains(type)) return;
  sources_.Fail(at, "no schema declares the type " + Narrow(type.name) + " of " + Narrow(type.ns));
}

TypeName SchemaSet::TypeAttribute(const XmlElement& element, std::u16string_view local) {
  TypeName type = sources_.Resolve(element, sources_.Required(element, local));
  CheckType(type, element);
  return type;
}

void SchemaSet::Unsupported(const XmlElement& element, const XmlElement& near) const {
  sources_.Fail(element, "xsd:" + Narrow(element.LocalName()) + " is not supported here", &near);
}

std::vector<TypeModel> SchemaSet::Build() {
  std::vector<TypeModel> types;
  for (const TypeName& name : order_) types.push_back(BuildType(name, *types_.at(name).element));
  return types;
}

const TypeModel& SchemaSet::BuildType(const TypeName& name, const XmlElement& at) {
  if (auto done = built_.find(name); done != built_.end()) return done->second;
  const Declaration& declaration = types_.at(name);
  if (!building_.insert(name).second)
    sources_.Fail(at, "the type " + Narrow(name.name) + " derives from itself");
  if (building_.size() > kMaxDerivationDepth) {
    sources_.Fail(at, "the type " + Narrow(name.name) + " derives through more than " +
                          std::to_string(kMaxDerivationDepth) + " types");
  }
  TypeModel model;
  model.name = name;
  model.base = name;
  const XmlElement& element = *declaration.element;
  if (IsXsd(element, u"simpleType")) {
    ReadSimpleType(element, model);
  } else {
    model.isComplex = true;
    ReadComplexType(IsXsd(element, u"element") ? *FirstChild(element, u"complexType") : element,
                    *declaration.schema, model);
  }
  building_.erase(name);
  return built_.emplace(name, std::move(model)).first->second;
}

void SchemaSet::ReadComplexType(const XmlElement& complexType, const Schema& schema, TypeModel& model) {
  for (const XmlElement& child : complexType.Children()) {
    if (IsIgnoredInType(child)) continue;
    if (IsXsd(child, u"sequence") || IsXsd(child, u"all")) {
      if (ReadParticles(child, schema, model)) model.literalItem = model.members.back();
    } else if (IsXsd(child, u"complexContent")) {
      ReadComplexContent(child, schema, model);
    } else if (IsXsd(child, u"simpleContent")) {
      const XmlElement* derivation = FirstChild(child, u"extension");
      if (!derivation) derivation = FirstChild(child, u"restriction");
      if (!derivation) Unsupported(child, complexType);
      model.base = TypeAttribute(*derivation, u"base");
    } else {
      Unsupported(child, complexType);
    }
  }
}

void SchemaSet::ReadComplexContent(const XmlElement& content, const Schema& schema, TypeModel& model) {
  const XmlElement* derivation = FirstChild(content, u"extension");
  const bool extends = derivation != nullptr;
  if (!extends) derivation = FirstChild(content, u"restriction");
  if (!derivation) Unsupported(content, content);
  model.base = TypeAttribute(*derivation, u"base");
  if (!extends && model.base.name == u"Array" && IsSoapEncodingNamespace(model.base.ns)) {
    return ReadEncodedArray(*derivation, model);
  }
  if (extends && !IsBuiltIn(model.base)) model.members = BuildType(model.base, *derivation).members;
  for (const XmlElement& child : derivation->Children()) {
    if (IsIgnoredInType(child)) continue;
    if (!IsXsd(child, u"sequence") && !IsXsd(child, u"all")) Unsupported(child, *derivation);
    ReadParticles(child, schema, model);
  }
}

void SchemaSet::ReadEncodedArray(const XmlElement& restriction, TypeModel& model) {
  model.arrayRank = 1;
  for (const XmlElement& child : restriction.Children()) {
    if (!IsXsd(child, u"attribute")) continue;
    if (const auto arrayType = FindAttribute(child, WSDL_NS, u"arrayType")) {
      // One group of brackets: an array of arrays would need an item type
      // that no schema names.
      const size_t open = arrayType->find(u'[');
      if (open == 0 || open == std::u16string_view::npos || arrayType->back() != u']' ||
          arrayType->find(u'[', open + 1) != std::u16string_view::npos) {
        sources_.Fail(child,
                      "wsdl:arrayType " + Narrow(*arrayType) + " is not one type and one group of brackets");
      }
      model.arrayItem = sources_.Resolve(child, arrayType->substr(0, open));
      model.arrayRank = 1 + std::count(arrayType->begin() + open, arrayType->end(), u',');
    } else if (const auto itemType = FindAttribute(child, SOAP12_ENC_NS, u"itemType")) {
      model.arrayItem = sources_.Resolve(child, *itemType);
    }
    if (const auto arraySize = FindAttribute(child, SOAP12_ENC_NS, u"arraySize")) {
      // "*" or "* *": one token per dimension.
      const size_t dimensions = Tokens(*arraySize).size();
      if (dimensions == 0) sources_.Fail(child, "enc:arraySize names no dimension");
      model.arrayRank = long(dimensions);
    }
  }
  if (!model.arrayItem) {
    sources_.Fail(restriction, "the encoded array " + Narrow(model.name.name) + " declares no item type");
  }
  CheckType(*model.arrayItem, restriction);
}

void SchemaSet::ReadSimpleType(const XmlElement& simpleType, TypeModel& model) {
  for (const XmlElement& child : simpleType.Children()) {
    if (IsXsd(child, u"annotation")) continue;
    if (!IsXsd(child, u"restriction") || !FindAttribute(child, u"", u"base")) Unsupported(child, simpleType);
    model.base = TypeAttribute(child, u"base");
    return;
  }
  sources_.Fail(simpleType, "the simpleType " + Narrow(model.name.name) + " has no restriction");
}

bool SchemaSet::ReadParticles(const XmlElement& group, const Schema& schema, TypeModel& model) {
  const bool sequence = IsXsd(group, u"sequence");
  size_t elements = 0;
  bool repeats = false;
  for (const XmlElement& particle : group.Children()) {
    if (IsXsd(particle, u"annotation")) continue;
    if (sequence && IsXsd(particle, u"sequence") && !MayRepeat(particle)) {
      elements += 2;  // members of a nested sequence: never a literal array
      ReadParticles(particle, schema, model);
      continue;
    }
    if (!IsXsd(particle, u"element")) Unsupported(particle, group);
    ++elements;
    repeats = MayRepeat(particle);
    model.members.push_back(ReadMember(particle, schema));
  }
  return sequence && elements == 1 && repeats;
}

MemberModel SchemaSet::ReadMember(const XmlElement& particle, const Schema& schema) {
  if (const auto ref = FindAttribute(particle, u"", u"ref")) {
    TypeName element = sources_.Resolve(particle, *ref);
    return {element, ElementType(element, particle)};
  }
  const auto form = FindAttribute(particle, u"", u"form");
  const bool qualified = form ? *form == u"qualified" : schema.qualified;
  TypeName element{std::u16string(sources_.Required(particle, u"name")),
                   qualified ? schema.targetNamespace : std::u16string()};
  if (FindAttribute(particle, u"", u"type")) return {element, TypeAttribute(particle, u"type")};
  for (const XmlElement& child : particle.Children()) {
    if (IsXsd(child, u"complexType") || IsXsd(child, u"simpleType")) {
      sources_.Fail(child,
                    "the local element " + Narrow(element.name) + " has an anonymous type; name the type",
                    &particle);
    }
  }
  return {element, {u"anyType", std::u16string(XSD2001_NS)}};
}

}  // namespace qxsoap::host
