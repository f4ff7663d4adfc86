// Helpers shared by the XML layer tests: parse bytes or wide text and report
// the outcome, write trees back to text, and run rows of documents.
#ifndef QXSOAP_TESTS_XML_XML_TEST_SUPPORT_H_
#define QXSOAP_TESTS_XML_XML_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {

// The line number thrown by parsing `bytes`, or nullopt when it parsed.
inline std::optional<int> ParseErrorLine(XmlDocument& document, std::string_view bytes,
                                         XmlContentHandler* handler = nullptr) {
  try {
    document.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), handler);
  } catch (int line) {
    return line;
  }
  return std::nullopt;
}

// The child of `element` at `index` in document order (which must exist).
inline const XmlElement& ChildAt(const XmlElement& element, size_t index) {
  return *std::next(element.Children().begin(), ptrdiff_t(index));
}

// The element written on its own, without a parent.
inline std::u16string Written(const XmlElement& element) {
  std::u16string out;
  WriteElement(element, nullptr, out);
  return out;
}

// Parses `bytes` (which must be well-formed) and writes the root back.
inline std::u16string Reparsed(std::string_view bytes) {
  XmlDocument document;
  if (ParseErrorLine(document, bytes)) return u"<parse error>";
  return Written(*document.Root());
}

// What reading a document gives: the root written back on its own, or the
// line of the parse error.
struct DocumentRow {
  const char* why;
  std::string document;
  std::u16string_view written;  // when it parses
  int errorLine = 0;            // 0: it parses
};

inline void ExpectDocumentRows(std::span<const DocumentRow> rows) {
  for (const DocumentRow& row : rows) {
    SCOPED_TRACE(row.why);
    XmlDocument document;
    const std::optional<int> line = ParseErrorLine(document, row.document);
    EXPECT_EQ(line.value_or(0), row.errorLine);
    if (!line) {
      EXPECT_EQ(Written(*document.Root()), row.written);
    }
  }
}

// The document written as UTF-8, as Write hands it out.
inline std::string WrittenDocument(const XmlDocument& document) {
  uint8_t* buffer = nullptr;
  const size_t length = document.Write(&buffer);
  std::string bytes(reinterpret_cast<const char*>(buffer), length);
  std::free(buffer);
  return bytes;
}

}  // namespace qxsoap::testing

#endif  // QXSOAP_TESTS_XML_XML_TEST_SUPPORT_H_
