// The grammar of the reader: walks decoded text once, builds the element
// tree into the document's root slot and reports events as it goes. Used by
// XmlDocument only.
#ifndef QXSOAP_XML_XML_READER_H_
#define QXSOAP_XML_XML_READER_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/element_text.h"
#include "xml/name_table.h"
#include "xml/parse_dispatcher.h"
#include "xml/text_cursor.h"
#include "xml/xml_content_handler.h"
#include "xml/xml_element.h"
#include "xml/xml_parse_error.h"

namespace qxsoap {

class XmlReader {
 public:
  // Reads `text` from `start`. `memory` holds the text already and becomes
  // the tree's memory; the tree goes into `root`, the details of a failure
  // into `error`; both must outlive the reader. `handler` may be null.
  XmlReader(std::u16string_view text, size_t start, std::unique_ptr<TreeMemory> memory,
            XmlContentHandler* handler, std::unique_ptr<XmlElement>& root, XmlParseError& error);

  // Reads one document. Throws the line number (int) of the first error,
  // after reporting it and releasing the partial tree.
  void ReadDocument();

 private:
  // An attribute of the start tag being read, before resolution.
  struct ReadAttribute {
    std::u16string_view qualifiedName;
    std::u16string_view value;
  };

  [[noreturn]] void Fail(std::string_view expected);

  std::u16string_view ReadName();
  void ReadMisc();
  bool ReadComment();
  bool ReadProcessingInstruction();
  bool ReadDoctype();
  bool ReadCdata(ElementTexts::Text& text, int depth);
  void ReadElement(XmlElement* parent, int depth);
  // Calls `event` with the handler, if there is one: with the dispatcher as
  // itself, so that its calls go direct.
  template <typename Event>
  void Report(const Event& event) {
    if (!handler_) return;
    if (dispatcher_) {
      event(*dispatcher_);
    } else {
      event(*handler_);
    }
  }
  void ReadAttributes();
  bool IsReadAlready(std::u16string_view qualifiedName);
  std::u16string_view ReadAttributeValue();
  void ReadContent(XmlElement& element, int depth);
  bool ReadEndTag(const XmlElement& element);
  void ReadReference(std::u16string& out);
  char32_t ReadCharacterReference();

  // Namespace resolution of the start tag just read (namespace_resolution.cpp).
  XmlElement* ResolveStartTag(std::u16string_view qualifiedName, const XmlElement* parent);
  std::optional<NamespaceScope> ApplyDeclarations(const NamespaceScope& inherited);
  bool ResolveAttributes(XmlElement& element, const NamespaceScope& scope);
  void MapPrefixes(const XmlElement& element, const XmlElement* parent);

  TextCursor cursor_;
  // Owned here until the root exists, then by the root.
  std::unique_ptr<TreeMemory> ownedMemory_;
  TreeMemory& memory_;
  NameTable names_;
  ElementTexts texts_;
  XmlContentHandler* handler_;
  // `handler_` when it is a dispatcher, else null.
  ParseDispatcher* dispatcher_;
  std::unique_ptr<XmlElement>& root_;
  XmlParseError& error_;
  // The attributes of the start tag being read; reused from tag to tag.
  std::vector<ReadAttribute> attributes_;
  // Their names, once a tag has too many for a linear search.
  ViewSet attributeNames_;
  std::vector<NamespaceBinding> declared_;
  // The prefixes mapped around the open elements, innermost last: each
  // element reports the end of its own when it ends. Reused, as is the
  // scratch of the scope merge, so that an element allocates nothing here.
  std::vector<NamespaceBinding> mapped_;
  std::vector<NamespaceBinding> scopeScratch_;
  // Where attribute values with references are built.
  std::u16string value_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_READER_H_
