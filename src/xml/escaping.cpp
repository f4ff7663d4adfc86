// The references that replace special characters, and escaping in place.
#include "xml/escaping.h"

namespace qxsoap {

std::u16string_view ReferenceFor(char16_t c) {
  switch (c) {
    case u'&':
      return u"&amp;";
    case u'<':
      return u"&lt;";
    case u'>':
      return u"&gt;";
    case u'\'':
      return u"&apos;";
    default:
      return u"&quot;";
  }
}

void EscapeText(std::u16string& text) {
  std::u16string escaped;
  ForEachEscapedTextRun(text, [&](std::u16string_view run) { escaped += run; });
  text = std::move(escaped);
}

void EscapeAttribute(std::u16string& value) {
  std::u16string escaped;
  ForEachEscapedAttributeRun(value, [&](std::u16string_view run) { escaped += run; });
  value = std::move(escaped);
}

}  // namespace qxsoap
