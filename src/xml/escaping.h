// Escaping of element text and attribute values for output. Both are linear
// in the length of the text, and inserted references are never scanned
// again.
#ifndef QXSOAP_XML_ESCAPING_H_
#define QXSOAP_XML_ESCAPING_H_

#include <string>
#include <string_view>

namespace qxsoap {

// Replaces '&', '<' and '>' by &amp; &lt; &gt;. Quotes, controls and other
// characters are left as they are.
void EscapeText(std::u16string& text);

// Replaces '&', '<', '\'' and '"' by &amp; &lt; &apos; &quot;, for a value
// written in double quotes. '>', TAB, LF and CR are left as they are.
void EscapeAttribute(std::u16string& value);

// Append `text` (resp. `value`) to `out`, escaped as above, without a copy.
void AppendEscapedText(std::u16string& out, std::u16string_view text);
void AppendEscapedAttribute(std::u16string& out, std::u16string_view value);

}  // namespace qxsoap

#endif  // QXSOAP_XML_ESCAPING_H_
