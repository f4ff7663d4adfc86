// Escaping of element text and attribute values for output. Both are linear
// in the length of the text, and inserted references are never scanned
// again.
#ifndef QXSOAP_XML_ESCAPING_H_
#define QXSOAP_XML_ESCAPING_H_

#include <string_view>

#include "xml/text_scan.h"

namespace qxsoap {

// The reference that replaces `c`, one of & < > ' ".
std::u16string_view ReferenceFor(char16_t c);

// Hands `text` to `append` as runs of the text and, in place of each of
// `Specials`, its reference, without a copy.
template <char16_t... Specials, typename Append>
void ForEachEscapedRun(std::u16string_view text, Append&& append) {
  const char16_t* run = text.data();
  const char16_t* const end = run + text.size();
  for (const char16_t* stop; (stop = FindFirstOf<Specials...>(run, end)) != end; run = stop + 1) {
    append(std::u16string_view(run, size_t(stop - run)));
    append(ReferenceFor(*stop));
  }
  append(std::u16string_view(run, size_t(end - run)));
}

// Element text: '&', '<' and '>' become references; quotes, controls and
// other characters stay as they are.
template <typename Append>
void ForEachEscapedTextRun(std::u16string_view text, Append&& append) {
  ForEachEscapedRun<u'&', u'<', u'>'>(text, append);
}
// An attribute value written in double quotes: '&', '<', '\'' and '"'
// become references; '>', TAB, LF and CR stay as they are.
template <typename Append>
void ForEachEscapedAttributeRun(std::u16string_view value, Append&& append) {
  ForEachEscapedRun<u'&', u'<', u'\'', u'"'>(value, append);
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_ESCAPING_H_
