// The element writer.
#include "xml/xml_writer.h"

#include "xml/escaping.h"

namespace qxsoap {

namespace {

void WriteAttribute(std::u16string_view name, std::u16string_view value, std::u16string& output) {
  output += u' ';
  output += name;
  output += u"=\"";
  AppendEscapedAttribute(output, value);
  output += u'"';
}

bool InheritedFrom(const XmlElement* parent, const std::u16string& prefix,
                   const std::u16string& uri) {
  if (!parent) return false;
  const std::u16string* bound = parent->Scope().Find(prefix);
  return bound && *bound == uri;
}

void WriteNamespaceDeclarations(const XmlElement& element, const XmlElement* parent,
                                std::u16string& output) {
  // A child that declares nothing shares its parent's scope: nothing to do.
  if (parent && element.Scope().SharesMapWith(parent->Scope())) return;
  for (const auto& [prefix, uri] : element.Scope().ToMap()) {
    if (prefix == u"xml" || InheritedFrom(parent, prefix, uri)) continue;
    WriteAttribute(prefix.empty() ? u"xmlns" : u"xmlns:" + prefix, uri, output);
  }
}

}  // namespace

void WriteElement(const XmlElement& element, const XmlElement* parent, std::u16string& output) {
  output += u'<';
  output += element.qualifiedName;
  for (const auto& [key, attribute] : element.Attributes()) {
    WriteAttribute(attribute.qualifiedName, attribute.value, output);
  }
  WriteNamespaceDeclarations(element, parent, output);
  if (element.text.empty() && element.Children().empty()) {
    output += u" />";
    return;
  }
  output += u'>';
  AppendEscapedText(output, element.text);
  for (const auto& child : element.Children()) WriteElement(*child, &element, output);
  output += u"</";
  output += element.qualifiedName;
  output += u'>';
}

}  // namespace qxsoap
