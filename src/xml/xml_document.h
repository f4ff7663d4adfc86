// XmlDocument: the handler's own XML reader and the holder of an element
// tree, which it can also write out as a UTF-8 document.
//
// The reader accepts a small subset of XML 1.0: elements, attributes,
// character data with the five predefined entity references and character
// references, CDATA sections, comments, processing instructions and
// document type declarations (skipped, never applied). It reports events to
// an XmlContentHandler while it builds the tree.
//
// Memory: the root of a parsed tree owns the tree memory that its
// descendants, their records and the decoded text live in (see
// xml_element.h), so the tree is freed in one piece and goes along when the
// root is handed out. The bytes handed to Parse are not kept.
//
// Threads: a document is used by one thread at a time; it holds no locks.
// Documents on different threads share only the locked list of spare arena
// blocks (tree_memory.h).
#ifndef QXSOAP_XML_XML_DOCUMENT_H_
#define QXSOAP_XML_XML_DOCUMENT_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "xml/text_decoding.h"
#include "xml/xml_content_handler.h"
#include "xml/xml_element.h"
#include "xml/xml_parse_error.h"

namespace qxsoap {

// Deepest element nesting the reader accepts; a deeper element is a parse
// error. The same bound libxml2 keeps by default, so a message a common
// SOAP stack reads is read here too, and the recursive reader stays far
// from the end of the stack.
inline constexpr int kMaxElementDepth = 256;

class XmlDocument {
 public:
  XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Decodes `byteCount` bytes (a null `bytes` is empty input) and parses
  // them, reporting events to `handler` (null: no events). The encoding comes
  // from the first bytes: FF FE UTF-16LE, FE FF UTF-16BE, otherwise UTF-8
  // with an optional EF BB BF (see text_decoding.h). Any root held before is
  // released first. On success the document holds the new root. On a
  // malformed document: handler->ParseError(line), the partial tree is
  // released (the document holds no root), LastError() tells line, column
  // and what was expected, and the line number (1 plus the line feeds before
  // the error) is thrown as an `int`. Exceptions thrown by the handler pass
  // through unchanged; std::bad_alloc when memory runs out.
  void Parse(const uint8_t* bytes, size_t byteCount, XmlContentHandler* handler);

  // The same over text already decoded, taken as it is (a leading U+FEFF is
  // not skipped). `text` need only live during the call: the tree keeps a
  // copy.
  void ParseText(std::u16string_view text, XmlContentHandler* handler);

  // Where and why the last parse failed; all zero after a parse that did
  // not fail.
  const XmlParseError& LastError() const { return error_; }

  // The root held, or nullptr. The document keeps ownership.
  XmlElement* Root() const { return root_.get(); }

  // Releases the root held and holds `root` (which may be null) instead.
  void SetRoot(std::unique_ptr<XmlElement> root) {
    text_ = {};
    root_ = std::move(root);
  }

  // Hands the root to the caller; the document then holds none.
  std::unique_ptr<XmlElement> DetachRoot() {
    text_ = {};
    return std::move(root_);
  }

  // The line (1 plus the line feeds before it) at which `position` stands
  // in the text of the tree parsed last, while the document holds it; 0
  // for any other position. Attribute names and values and the texts of
  // one run are views into that text, so a caller that finds something
  // wrong in the tree can say where it stands. Linear in the position.
  int LineAt(const char16_t* position) const;

  // Writes `<?xml version="1.0" encoding="UTF-8"?>` and the root's tree (see
  // WriteElement) as UTF-8 into a new buffer from malloc, stores it in
  // *buffer and returns its length; the caller frees it with free. Without a
  // root returns 0 and leaves *buffer untouched; when memory runs out
  // returns 0 with *buffer null.
  size_t Write(uint8_t** buffer) const;

 private:
  void ParseDecoded(const DecodedText& decoded, std::unique_ptr<TreeMemory> memory,
                    XmlContentHandler* handler);

  std::unique_ptr<XmlElement> root_;
  // The decoded text of the root parsed last, owned by its tree memory.
  std::u16string_view text_;
  XmlParseError error_;
};

// Parses `text` with a fresh document and no handler. Returns the root, or
// nullptr when the text is not a well-formed document (prefixes must be
// declared within the text itself).
std::unique_ptr<XmlElement> ParseFragment(std::u16string_view text);

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_DOCUMENT_H_
