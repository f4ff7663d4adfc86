// The reader's grammar over the cursor primitives. Names, values and runs of
// character data are copied out as slices between a mark and the cursor;
// only references are appended one character at a time.
#include "xml/xml_reader.h"

#include <array>

#include "xml/xml_document.h"

namespace qxsoap {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

// The five predefined entities; no others exist, whatever a document type
// declaration says.
constexpr std::array<std::pair<std::u16string_view, char16_t>, 5> kEntities = {{
    {u"amp", u'&'},
    {u"apos", u'\''},
    {u"gt", u'>'},
    {u"lt", u'<'},
    {u"quot", u'"'},
}};

int DigitValue(char16_t c, int base) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (base == 16 && c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (base == 16 && c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

void AppendCodePoint(XmlString& out, char32_t value) {
  if (value < 0x10000) {
    out.push_back(char16_t(value));
    return;
  }
  value -= 0x10000;
  out.push_back(char16_t(0xD800 | (value >> 10)));
  out.push_back(char16_t(0xDC00 | (value & 0x3FF)));
}

}  // namespace

void XmlReader::Fail() {
  const int line = cursor_.Line();
  if (handler_) handler_->ParseError(line);
  root_.reset();
  throw line;
}

void XmlReader::ReadDocument() {
  root_.reset();
  if (handler_) handler_->StartDocument();
  ReadMisc();
  while (ReadDoctype()) ReadMisc();
  ReadElement(nullptr, 1);
  // Whatever follows the epilog is not examined.
  ReadMisc();
  if (handler_) handler_->EndDocument();
}

std::u16string_view XmlReader::ReadName() {
  const char16_t* start = cursor_.Mark();
  if (cursor_.AtEnd() || !IsInClass(cursor_.Peek(), kNameStart)) return {};
  cursor_.Next();
  cursor_.SkipWhile(kNameChar);
  return cursor_.Since(start);
}

void XmlReader::ReadMisc() {
  do {
    cursor_.SkipSpaces();
  } while (ReadComment() || ReadProcessingInstruction());
}

bool XmlReader::ReadComment() {
  if (!cursor_.Match(u"<!--")) return false;
  for (;;) {
    const char16_t c = cursor_.Next();
    if (c == 0) Fail();
    if (c == u'-' && cursor_.Match(u'-')) {
      if (!cursor_.Match(u'>')) Fail();
      return true;
    }
  }
}

bool XmlReader::ReadProcessingInstruction() {
  if (!cursor_.Match(u"<?")) return false;
  const std::u16string_view target = ReadName();
  // Without a target the "<?" is consumed all the same and reading goes on.
  if (target.empty()) return true;
  cursor_.SkipSpaces();
  const char16_t* data = cursor_.Mark();
  for (;;) {
    const char16_t c = cursor_.Next();
    if (c == 0) Fail();
    if (c == u'?' && cursor_.Match(u'>')) break;
  }
  if (handler_) {
    const std::u16string_view instruction = cursor_.Since(data);
    handler_->ProcessingInstruction(target, instruction.substr(0, instruction.size() - 2));
  }
  return true;
}

bool XmlReader::ReadDoctype() {
  if (!cursor_.Match(u"<!DOCTYPE")) return false;
  cursor_.SkipSpaces();
  // Without a name it is no declaration; reading goes on after the keyword.
  if (ReadName().empty()) return false;
  cursor_.SkipSpaces();
  for (;;) {
    char16_t c = cursor_.Next();
    if (c == 0) Fail();
    if (c == u'>') return true;
    if (c == u'<' && cursor_.Match(u'!')) {
      do {
        c = cursor_.Next();
        if (c == 0) Fail();
      } while (c != u'>');
    }
  }
}

bool XmlReader::ReadCdata(XmlString& text) {
  if (!cursor_.Match(u"<![CDATA[")) return false;
  const char16_t* start = cursor_.Mark();
  for (;;) {
    cursor_.SkipUntilInClass(kCdataStop);
    const char16_t* stop = cursor_.Mark();
    // The end of the text reads as U+0000, a control character too.
    if (cursor_.Next() != u']') Fail();
    if (cursor_.Match(u"]>")) {
      text.append(start, stop);
      return true;
    }
  }
}

void XmlReader::ReadElement(XmlElement* parent, int depth) {
  cursor_.SkipSpaces();
  if (!cursor_.Match(u'<')) Fail();
  const std::u16string_view name = ReadName();
  if (name.empty() || depth > kMaxElementDepth) Fail();

  if (!parent) root_ = XmlElement::NewTree(name);
  XmlElement& element = parent ? parent->AddChild(name) : *root_;
  ReadAttributes();
  if (!element.ResolveNamespaces(parent, attributes_)) Fail();

  const PrefixList mapped = handler_ ? MappedPrefixes(element, parent) : PrefixList();
  for (const auto& [prefix, uri] : mapped) handler_->StartPrefixMapping(prefix, uri);
  const char16_t c = cursor_.Next();
  if (c == u'/') {
    if (!cursor_.Match(u'>')) Fail();
    if (handler_) {
      handler_->StartElement(element.namespaceUri, element.localName, element.qualifiedName,
                             element.Attributes(), element);
    }
  } else if (c == u'>') {
    if (handler_) {
      handler_->StartElement(element.namespaceUri, element.localName, element.qualifiedName,
                             element.Attributes(), element);
    }
    ReadContent(element, depth);
    if (handler_ && !element.text.empty()) handler_->Characters(element.text);
  } else {
    Fail();
  }
  if (!handler_) return;
  handler_->EndElement(element.namespaceUri, element.localName, element.qualifiedName, element);
  for (const auto& [prefix, uri] : mapped) handler_->EndPrefixMapping(prefix);
}

void XmlReader::ReadAttributes() {
  attributes_.clear();
  attributeNames_.clear();
  for (;;) {
    cursor_.SkipSpaces();
    const std::u16string_view name = ReadName();
    if (name.empty()) return;
    cursor_.SkipSpaces();
    if (!cursor_.Match(u'=')) Fail();
    cursor_.SkipSpaces();
    XmlString value;
    ReadAttributeValue(value);
    if (IsReadAlready(name)) Fail();
    attributes_.push_back({name, std::move(value)});
  }
}

// Whether the tag has an attribute named `qualifiedName` already; files the
// name in the set once the tag has more than a few.
bool XmlReader::IsReadAlready(std::u16string_view qualifiedName) {
  constexpr size_t kLinearSearchLimit = 16;
  if (attributes_.size() < kLinearSearchLimit) {
    for (const ReadAttribute& read : attributes_) {
      if (read.qualifiedName == qualifiedName) return true;
    }
    return false;
  }
  if (attributeNames_.empty()) {
    for (const ReadAttribute& read : attributes_) attributeNames_.insert(read.qualifiedName);
  }
  return !attributeNames_.insert(qualifiedName).second;
}

void XmlReader::ReadAttributeValue(XmlString& value) {
  const char16_t quote = cursor_.Next();
  if (quote != u'"' && quote != u'\'') Fail();
  const char16_t* run = cursor_.Mark();
  for (;;) {
    cursor_.SkipUntil(kValueStop);
    const char16_t* stop = cursor_.Mark();
    const char16_t c = cursor_.Next();
    if (c == quote || c == u'&') value.append(run, stop);
    if (c == quote) return;
    if (c == u'&') {
      AppendReference(value);
      run = cursor_.Mark();
    } else if (c == u'<' || c == 0) {
      Fail();
    }  // else the other quote, which stays in the run
  }
}

void XmlReader::ReadContent(XmlElement& element, int depth) {
  XmlString& text = element.text;
  for (;;) {
    const char16_t* run = cursor_.Mark();
    cursor_.SkipUntil(kTextStop);
    // A ']' stops the scan only to look for "]]>"; otherwise it is text.
    while (cursor_.Match(u']')) {
      if (cursor_.Match(u"]>")) Fail();
      cursor_.SkipUntil(kTextStop);
    }
    text.append(cursor_.Since(run));
    switch (cursor_.Next()) {
      case u'&':
        AppendReference(text);
        break;
      case u'<':
        cursor_.Unget();
        if (ReadEndTag(element)) return;
        if (!ReadComment() && !ReadProcessingInstruction() && !ReadCdata(text)) {
          ReadElement(&element, depth + 1);
        }
        break;
      default:  // the end of the text, or U+0000
        Fail();
    }
  }
}

bool XmlReader::ReadEndTag(const XmlElement& element) {
  if (!cursor_.Match(u"</")) return false;
  if (ReadName() != element.qualifiedName) Fail();
  cursor_.SkipSpaces();
  if (!cursor_.Match(u'>')) Fail();
  return true;
}

void XmlReader::AppendReference(XmlString& out) {
  if (cursor_.Match(u'#')) {
    AppendCodePoint(out, ReadCharacterReference());
    return;
  }
  const std::u16string_view name = ReadName();
  if (name.empty() || !cursor_.Match(u';')) Fail();
  for (const auto& [entity, character] : kEntities) {
    if (entity == name) {
      out.push_back(character);
      return;
    }
  }
  Fail();
}

// The number after "&#" or "&#x" (lower-case x only) up to ';'. Numbers
// stop at U+10FFFF, the last character there is, so the accumulated value
// never overflows; numbers above are a parse error. So is U+0000, which no
// document can carry (the reader takes it for the end of the text), so a
// written tree always reads back. From U+10000 up the character becomes a
// surrogate pair, as in decoded UTF-8.
char32_t XmlReader::ReadCharacterReference() {
  const int base = cursor_.Match(u'x') ? 16 : 10;
  char32_t value = 0;
  int digits = 0;
  for (int digit; (digit = DigitValue(cursor_.Peek(), base)) >= 0; ++digits) {
    cursor_.Next();
    value = value * base + digit;
    if (value > kLastCodePoint) Fail();
  }
  if (digits == 0 || !cursor_.Match(u';') || value == 0) Fail();
  return value;
}

XmlReader::PrefixList XmlReader::MappedPrefixes(const XmlElement& element,
                                                const XmlElement* parent) const {
  PrefixList mapped;
  if (!parent || element.DefaultNamespace() != parent->DefaultNamespace()) {
    mapped.emplace_back(std::u16string(), element.DefaultNamespace());
  }
  if (parent && element.Scope().SharesMapWith(parent->Scope())) return mapped;
  for (const auto& [prefix, uri] : element.Scope().ToMap()) {
    // The empty prefix of the scope is the default namespace, reported above
    // already; reporting it twice would tell a handler nothing new.
    if (prefix.empty() || (parent && parent->Scope().Contains(prefix))) continue;
    mapped.emplace_back(prefix, uri);
  }
  return mapped;
}

}  // namespace qxsoap
