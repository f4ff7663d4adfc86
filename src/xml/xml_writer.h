// Writes elements back to XML text: compact (no indentation or line breaks),
// names exactly as stored, attributes in key order before namespace
// declarations, an element's whole text before its children.
#ifndef QXSOAP_XML_XML_WRITER_H_
#define QXSOAP_XML_XML_WRITER_H_

#include <string>

#include "xml/utf8_encoding.h"
#include "xml/xml_element.h"

namespace qxsoap {

// Appends `element` and its subtree to `output`. The element declares every
// prefix of its scope (except `xml`) that `parent` does not bind to the
// same URI; with a null `parent` it declares them all, so an element taken
// out of a parsed tree is written as a self-contained fragment. An element
// with neither text nor children is written "<name ... />". Only the
// declarations an element adds to its parent's scope are looked at, so
// writing is linear in the tree whatever the number of prefixes in scope.
void WriteElement(const XmlElement& element, const XmlElement* parent, std::u16string& output);

// The same, encoded as UTF-8 onto `output` as it goes (see Utf8Buffer).
// Throws std::bad_alloc.
void WriteElement(const XmlElement& element, const XmlElement* parent, Utf8Buffer& output);

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_WRITER_H_
