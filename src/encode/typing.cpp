#include "encode/typing.h"

#include <string>

#include "xml/namespaces.h"
#include "xml/xml_element.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

std::u16string Qualified(std::u16string_view prefix, std::u16string_view name) {
  std::u16string qualified;
  qualified.reserve(prefix.size() + 1 + name.size());
  qualified.append(prefix).append(1, u':').append(name);
  return qualified;
}

}  // namespace

std::u16string_view SchemaInstanceFor(std::u16string_view typeNamespace) {
  return SchemaInstanceNamespaceFor(typeNamespace).value_or(XSI2001_NS);
}

XmlElement& NewPrefixedChild(XmlElement& parent, std::u16string_view prefix,
                             std::u16string_view name, std::u16string_view ns) {
  if (ns.empty()) return parent.AddChild(name);
  XmlElement& child = parent.AddChild(Qualified(prefix, name), ns, name);
  child.DeclareNamespace(prefix, ns);
  return child;
}

void AddTypeAttribute(XmlElement& element, std::u16string_view prefix, TypeRef type) {
  element.DeclareNamespace(prefix, type.ns);
  element.SetQualifiedAttribute(u"xsi:type"sv, SchemaInstanceFor(type.ns), Qualified(prefix, type.name));
}

}  // namespace qxsoap
