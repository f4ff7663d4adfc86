// The grammar of the reader: walks decoded text once, builds the element
// tree into the document's root slot and reports events as it goes. Used by
// XmlDocument only.
#ifndef QXSOAP_XML_XML_READER_H_
#define QXSOAP_XML_XML_READER_H_

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "xml/text_cursor.h"
#include "xml/xml_content_handler.h"
#include "xml/xml_element.h"

namespace qxsoap {

class XmlReader {
 public:
  // Reads `text` from `start`; the tree goes into `root`, which must outlive
  // the reader. `handler` may be null.
  XmlReader(std::u16string_view text, size_t start, XmlContentHandler* handler,
            std::unique_ptr<XmlElement>& root)
      : cursor_(text, start), handler_(handler), root_(root) {}

  // Reads one document. Throws the line number (int) of the first error,
  // after reporting it and releasing the partial tree.
  void ReadDocument();

 private:
  using PrefixList = std::vector<std::pair<std::u16string, std::u16string>>;

  [[noreturn]] void Fail();

  std::u16string_view ReadName();
  void ReadMisc();
  bool ReadComment();
  bool ReadProcessingInstruction();
  bool ReadDoctype();
  bool ReadCdata(XmlString& text);
  void ReadElement(XmlElement* parent, int depth);
  void ReadAttributes();
  bool IsReadAlready(std::u16string_view qualifiedName);
  void ReadAttributeValue(XmlString& value);
  void ReadContent(XmlElement& element, int depth);
  bool ReadEndTag(const XmlElement& element);
  void AppendReference(XmlString& out);
  char32_t ReadCharacterReference();
  PrefixList MappedPrefixes(const XmlElement& element, const XmlElement* parent) const;

  TextCursor cursor_;
  XmlContentHandler* handler_;
  std::unique_ptr<XmlElement>& root_;
  // The attributes of the start tag being read; reused from tag to tag.
  // Their values use the default resource, never the tree memory, so that
  // releasing the tree on an error leaves nothing here pointing into it.
  std::vector<ReadAttribute> attributes_;
  // Their names, once a tag has too many for a linear search.
  std::unordered_set<std::u16string_view> attributeNames_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_READER_H_
