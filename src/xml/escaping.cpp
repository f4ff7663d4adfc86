// One escaping routine for both contexts, driven by a table of which ASCII
// characters each context replaces and by what.
#include "xml/escaping.h"

#include <array>

namespace qxsoap {

namespace {

enum EscapeContext : uint8_t {
  kInText = 1 << 0,
  kInAttribute = 1 << 1,
};

inline constexpr std::array<uint8_t, 128> kEscapedIn = [] {
  std::array<uint8_t, 128> table{};
  table['&'] = kInText | kInAttribute;
  table['<'] = kInText | kInAttribute;
  table['>'] = kInText;
  table['\''] = kInAttribute;
  table['"'] = kInAttribute;
  return table;
}();

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

bool NeedsEscape(char16_t c, EscapeContext context) {
  return c < 0x80 && (kEscapedIn[c] & context) != 0;
}

void AppendEscaped(std::u16string& out, std::u16string_view text, EscapeContext context) {
  const char16_t* run = text.data();
  const char16_t* const end = run + text.size();
  for (const char16_t* pos = run; pos != end; ++pos) {
    if (!NeedsEscape(*pos, context)) continue;
    out.append(run, pos);
    out.append(ReferenceFor(*pos));
    run = pos + 1;
  }
  out.append(run, end);
}

void EscapeInPlace(std::u16string& text, EscapeContext context) {
  size_t first = 0;
  while (first < text.size() && !NeedsEscape(text[first], context)) ++first;
  if (first == text.size()) return;
  std::u16string escaped(text, 0, first);
  escaped.reserve(text.size() + text.size() / 8 + 8);
  AppendEscaped(escaped, std::u16string_view(text).substr(first), context);
  text = std::move(escaped);
}

}  // namespace

void EscapeText(std::u16string& text) { EscapeInPlace(text, kInText); }
void EscapeAttribute(std::u16string& value) { EscapeInPlace(value, kInAttribute); }
void AppendEscapedText(std::u16string& out, std::u16string_view text) {
  AppendEscaped(out, text, kInText);
}
void AppendEscapedAttribute(std::u16string& out, std::u16string_view value) {
  AppendEscaped(out, value, kInAttribute);
}

}  // namespace qxsoap
