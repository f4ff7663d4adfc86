// Helpers shared by the XML layer tests: parse bytes, write trees back, and
// run rows of documents.
#ifndef QXSOAP_TESTS_XML_XML_TEST_SUPPORT_H_
#define QXSOAP_TESTS_XML_XML_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
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

// The element written on its own, without a parent.
inline std::u16string Written(const XmlElement& element) {
  std::u16string out;
  WriteElement(element, nullptr, out);
  return out;
}

// The document written as UTF-8, as Write hands it out.
inline std::string WrittenDocument(const XmlDocument& document) {
  uint8_t* buffer = nullptr;
  const size_t length = document.Write(&buffer);
  std::string bytes(reinterpret_cast<const char*>(buffer), length);
  std::free(buffer);
  return bytes;
}

// A document and what reading it gives: its root written back on its own,
// or the line of the parse error (and, where given, its column and a part
// of what the reader expected there).
struct DocumentRow {
  const char* why;
  std::string document;
  std::u16string_view written;  // when it parses
  int errorLine = 0;            // 0: it parses
  int errorColumn = 0;          // 0: not checked
  std::string_view expected = {};
};

// Each document is read from an odd address, as bytes handed in may lie.
inline void ExpectDocumentRows(std::span<const DocumentRow> rows) {
  for (const DocumentRow& row : rows) {
    SCOPED_TRACE(row.why);
    XmlDocument document;
    const std::string shifted = " " + row.document;
    const std::optional<int> line = ParseErrorLine(document, std::string_view(shifted).substr(1));
    EXPECT_EQ(line.value_or(0), row.errorLine);
    if (!line) {
      EXPECT_EQ(Written(*document.Root()), row.written);
    }
    if (!row.errorColumn) continue;
    EXPECT_EQ(document.LastError().line, row.errorLine);
    EXPECT_EQ(document.LastError().column, row.errorColumn);
    EXPECT_NE(document.LastError().expected.find(row.expected), std::string_view::npos)
        << document.LastError().expected;
  }
}

}  // namespace qxsoap::testing

#endif  // QXSOAP_TESTS_XML_XML_TEST_SUPPORT_H_
