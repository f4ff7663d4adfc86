// encode/typing.h: the naming and typing attributes every value writer
// puts on the elements it makes.
#ifndef QXSOAP_ENCODE_TYPING_H_
#define QXSOAP_ENCODE_TYPING_H_

#include <string_view>

#include "decode/port_queries.h"

namespace qxsoap {

class XmlElement;

// The schema-instance namespace that goes with a type in `typeNamespace`:
// the one of the same year for a schema namespace. Any other type (one in a
// SOAP encoding namespace or a service's own) takes the 2001 one, the
// schema-instance namespace every current peer reads.
std::u16string_view SchemaInstanceFor(std::u16string_view typeNamespace);

// Appends a child named `prefix:name` that binds `prefix` to `ns`, or the
// bare `name` when `ns` is empty.
XmlElement& NewPrefixedChild(XmlElement& parent, std::u16string_view prefix,
                             std::u16string_view name, std::u16string_view ns);

// Binds `prefix` to the type's namespace on `element` and adds xsi:type =
// `prefix:name`, xsi bound as SchemaInstanceFor says.
void AddTypeAttribute(XmlElement& element, std::u16string_view prefix, TypeRef type);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_TYPING_H_
