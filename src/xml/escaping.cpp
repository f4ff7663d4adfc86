// The references that replace special characters.
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

}  // namespace qxsoap
