// The reader's grammar over the cursor primitives. Names, values and runs of
// character data stay where they are in the text, as views; only values and
// texts with references, and texts of several runs, are copied together.
#include "xml/xml_reader.h"

#include <array>
#include <climits>

#include "xml/xml_document.h"

namespace qxsoap {

using namespace std::string_view_literals;

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

void AppendCodePoint(std::u16string& out, char32_t value) {
  if (value < 0x10000) {
    out.push_back(char16_t(value));
    return;
  }
  value -= 0x10000;
  out.push_back(char16_t(0xD800 | (value >> 10)));
  out.push_back(char16_t(0xDC00 | (value & 0x3FF)));
}

}  // namespace

XmlReader::XmlReader(std::u16string_view text, size_t start, std::unique_ptr<TreeMemory> memory,
                     XmlContentHandler* handler, std::unique_ptr<XmlElement>& root,
                     XmlParseError& error)
    : cursor_(text, start),
      ownedMemory_(std::move(memory)),
      memory_(*ownedMemory_),
      names_(memory_),
      texts_(text, memory_),
      handler_(handler),
      dispatcher_(dynamic_cast<ParseDispatcher*>(handler)),
      root_(root),
      error_(error) {}

void XmlReader::Fail(std::string_view expected) {
  const int line = cursor_.Line();
  error_ = {line, cursor_.Column(), expected};
  if (handler_) handler_->ParseError(line);
  root_.reset();
  throw line;
}

void XmlReader::ReadDocument() {
  root_.reset();
  error_ = {};
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
  if (!cursor_.Match(u"<!--"sv)) return false;
  for (;;) {
    cursor_.SkipTo<u'-', u'\0'>();
    const char16_t c = cursor_.Next();
    if (c == 0) Fail("\"-->\" ending the comment");
    if (c == u'-' && cursor_.Match(u'-')) {
      if (!cursor_.Match(u'>')) Fail("'>' after \"--\" in a comment");
      return true;
    }
  }
}

bool XmlReader::ReadProcessingInstruction() {
  if (!cursor_.Match(u"<?"sv)) return false;
  const std::u16string_view target = ReadName();
  // Without a target the "<?" is consumed all the same and reading goes on.
  if (target.empty()) return true;
  cursor_.SkipSpaces();
  const char16_t* data = cursor_.Mark();
  for (;;) {
    const char16_t c = cursor_.Next();
    if (c == 0) Fail("\"?>\" ending the processing instruction");
    if (c == u'?' && cursor_.Match(u'>')) break;
  }
  if (handler_) {
    const std::u16string_view instruction = cursor_.Since(data);
    handler_->ProcessingInstruction(target, instruction.substr(0, instruction.size() - 2));
  }
  return true;
}

bool XmlReader::ReadDoctype() {
  if (!cursor_.Match(u"<!DOCTYPE"sv)) return false;
  cursor_.SkipSpaces();
  // Without a name it is no declaration; reading goes on after the keyword.
  if (ReadName().empty()) return false;
  cursor_.SkipSpaces();
  for (;;) {
    char16_t c = cursor_.Next();
    if (c == 0) Fail("'>' ending the document type declaration");
    if (c == u'>') return true;
    if (c == u'<' && cursor_.Match(u'!')) {
      do {
        c = cursor_.Next();
        if (c == 0) Fail("'>' ending a markup declaration");
      } while (c != u'>');
    }
  }
}

bool XmlReader::ReadCdata(ElementTexts::Text& text, int depth) {
  if (!cursor_.Match(u"<![CDATA["sv)) return false;
  const char16_t* start = cursor_.Mark();
  for (;;) {
    cursor_.SkipUntilInClass(kCdataStop);
    const char16_t* stop = cursor_.Mark();
    // The end of the text reads as U+0000, a control character too.
    if (cursor_.Next() != u']') Fail("\"]]>\" ending the CDATA section, and no control character");
    if (cursor_.Match(u"]>"sv)) {
      texts_.Append(text, {start, size_t(stop - start)}, depth);
      return true;
    }
  }
}

void XmlReader::ReadElement(XmlElement* parent, int depth) {
  cursor_.SkipSpaces();
  if (!cursor_.Match(u'<')) Fail("'<' starting the root element");
  const std::u16string_view name = ReadName();
  if (name.empty()) Fail("an element name after '<'");
  if (depth > kMaxElementDepth) Fail("no more than 256 nested elements");
  ReadAttributes();
  XmlElement* resolved = ResolveStartTag(name, parent);
  if (!resolved) Fail("declared prefixes and attributes with distinct names");
  XmlElement& element = *resolved;
  if (parent) {
    parent->Link(element);
  } else {
    root_.reset(&element);
    ownedMemory_.release();  // the root owns it now
  }

  // An element that shares its parent's map, as most do, maps nothing; a
  // dispatcher is not told.
  const size_t mappedFrom = mapped_.size();
  if (handler_ && !dispatcher_ && !(parent && element.Scope().SharesMapWith(parent->Scope()))) {
    MapPrefixes(element, parent);
  }
  const size_t mappedTo = mapped_.size();
  for (size_t i = mappedFrom; i < mappedTo; ++i) {
    handler_->StartPrefixMapping(mapped_[i].prefix, mapped_[i].uri);
  }
  // Looked at before it is taken, so an error points at it.
  const char16_t c = cursor_.Peek();
  if (c != u'/' && c != u'>') Fail("'>' or \"/>\" closing the start tag");
  cursor_.Next();
  if (c == u'/' && !cursor_.Match(u'>')) Fail("'>' after '/' in the start tag");
  Report([&](auto& handler) {
    handler.StartElement(element.NamespaceUri(), element.LocalName(), element.QualifiedName(),
                         element.Attributes(), element);
  });
  if (c == u'>') {
    ReadContent(element, depth);
    if (!element.Text().empty()) Report([&](auto& handler) { handler.Characters(element.Text()); });
  }
  Report([&](auto& handler) {
    handler.EndElement(element.NamespaceUri(), element.LocalName(), element.QualifiedName(),
                       element);
  });
  // The children's mappings are gone from mapped_ by now; only this
  // element's are above mappedFrom.
  for (size_t i = mappedFrom; i < mappedTo; ++i) handler_->EndPrefixMapping(mapped_[i].prefix);
  mapped_.resize(mappedFrom);
}

void XmlReader::ReadAttributes() {
  attributes_.clear();
  // A set grown for a large tag is dropped, not cleared slot by slot on
  // every tag after it.
  if (!attributeNames_.Empty()) attributeNames_ = ViewSet();
  for (;;) {
    cursor_.SkipSpaces();
    const std::u16string_view name = ReadName();
    if (name.empty()) return;
    cursor_.SkipSpaces();
    if (!cursor_.Match(u'=')) Fail("'=' after the attribute name");
    cursor_.SkipSpaces();
    const std::u16string_view value = ReadAttributeValue();
    if (IsReadAlready(name)) Fail("attribute names distinct within the tag");
    attributes_.push_back({name, value});
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
  if (attributeNames_.Empty()) {
    for (const ReadAttribute& read : attributes_) attributeNames_.Intern(read.qualifiedName);
  }
  // Names are views at distinct places: an equal one kept before is another.
  return attributeNames_.Intern(qualifiedName).data() != qualifiedName.data();
}

// A value without references is a view into the text; one with references
// is built and copied into the tree memory.
std::u16string_view XmlReader::ReadAttributeValue() {
  const char16_t quote = cursor_.Peek();
  if (quote != u'"' && quote != u'\'') Fail("a quoted attribute value");
  cursor_.Next();
  const char16_t* run = cursor_.Mark();
  bool built = false;
  for (;;) {
    if (quote == u'"') {
      cursor_.SkipTo<u'"', u'<', u'&', u'\0'>();
    } else {
      cursor_.SkipTo<u'\'', u'<', u'&', u'\0'>();
    }
    const std::u16string_view plain = cursor_.Since(run);
    const char16_t c = cursor_.Next();
    if (c == quote) {
      if (!built) return plain;
      value_.append(plain);
      return memory_.Copy(value_);
    }
    if (c != u'&') Fail("the closing quote of the attribute value, and no '<'");
    if (!built) value_.clear();
    built = true;
    value_.append(plain);
    ReadReference(value_);
    run = cursor_.Mark();
  }
}

void XmlReader::ReadContent(XmlElement& element, int depth) {
  ElementTexts::Text text;
  for (;;) {
    const char16_t* run = cursor_.Mark();
    cursor_.SkipTo<u'<', u'&', u']', u'\0'>();
    // A ']' stops the scan only to look for "]]>"; otherwise it is text.
    while (cursor_.Match(u']')) {
      if (cursor_.Match(u"]>"sv)) Fail("character data without \"]]>\"");
      cursor_.SkipTo<u'<', u'&', u']', u'\0'>();
    }
    texts_.Append(text, cursor_.Since(run), depth);
    switch (cursor_.Next()) {
      case u'&': {
        std::u16string character;
        ReadReference(character);
        texts_.Append(text, character, depth);
        break;
      }
      case u'<': {
        // The unit after '<' tells which markup can follow; the order of
        // tries (end tag, comment, instruction, CDATA, child) stays.
        const char16_t next = cursor_.Peek();
        cursor_.Unget();
        if (next == u'/' && ReadEndTag(element)) {
          element.SetTextView(texts_.Finish(text));
          return;
        }
        const bool markup = (next == u'!' && (ReadComment() || ReadCdata(text, depth))) ||
                            (next == u'?' && ReadProcessingInstruction());
        if (!markup) ReadElement(&element, depth + 1);
        break;
      }
      default:  // the end of the text, or U+0000
        Fail("the end tag of the element");
    }
  }
}

bool XmlReader::ReadEndTag(const XmlElement& element) {
  if (!cursor_.Match(u"</"sv)) return false;
  if (ReadName() != element.QualifiedName()) Fail("the end tag of the open element");
  cursor_.SkipSpaces();
  if (!cursor_.Match(u'>')) Fail("'>' closing the end tag");
  return true;
}

void XmlReader::ReadReference(std::u16string& out) {
  if (cursor_.Match(u'#')) {
    AppendCodePoint(out, ReadCharacterReference());
    return;
  }
  const std::u16string_view name = ReadName();
  if (name.empty() || !cursor_.Match(u';')) Fail("a reference: a name or '#' and digits, then ';'");
  for (const auto& [entity, character] : kEntities) {
    if (entity == name) {
      out.push_back(character);
      return;
    }
  }
  Fail("one of the entities amp, apos, gt, lt, quot");
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
    if (value > kLastCodePoint) Fail("a character number up to 10FFFF");
  }
  if (digits == 0 || !cursor_.Match(u';') || value == 0) {
    Fail("a character reference: digits other than zero, then ';'");
  }
  return value;
}

}  // namespace qxsoap
