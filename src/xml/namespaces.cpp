// Classification of schema and encoding namespaces, from one table pairing
// each schema namespace with its schema-instance namespace.
#include "xml/namespaces.h"

#include <array>
#include <utility>

#include "xml/same_text.h"

namespace qxsoap {

namespace {
constexpr std::array<std::pair<std::u16string_view, std::u16string_view>, 3> kSchemaYears = {{
    {XSD2001_NS, XSI2001_NS},
    {XSD1999_NS, XSI1999_NS},
    {XSD2000_NS, XSI2000_NS},
}};
}  // namespace

bool IsSchemaNamespace(std::u16string_view uri) {
  return SchemaInstanceNamespaceFor(uri).has_value();
}

std::optional<std::u16string_view> SchemaInstanceNamespaceFor(std::u16string_view uri) {
  for (const auto& [schema, instance] : kSchemaYears) {
    if (SameText(uri, schema)) return instance;
  }
  return std::nullopt;
}

bool IsSoapEncodingNamespace(std::u16string_view uri) {
  return SameText(uri, SOAP11_ENC_NS) || SameText(uri, SOAP12_ENC_NS);
}

}  // namespace qxsoap
