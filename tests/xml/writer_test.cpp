// The writer: escaping, namespace declarations, the document form, UTF-8
// output and round trips through reader and writer.
#include <gtest/gtest.h>

#include <string>

#include "xml/escaping.h"
#include "xml/utf8_encoding.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::Written;
using testing::WrittenDocument;

struct EscapeRow {
  const char* why;
  std::u16string_view input, asText, asAttribute;
};

const EscapeRow kEscapeRows[] = {
    {"all three in text", u"a<b&c>d", u"a&lt;b&amp;c&gt;d", u"a&lt;b&amp;c>d"},
    {"quotes only in attributes", u"'\"", u"'\"", u"&apos;&quot;"},
    {"tab, line feed and carriage return stay", u"\t\n\r", u"\t\n\r", u"\t\n\r"},
    {"output is not scanned again", u"&lt;", u"&amp;lt;", u"&amp;lt;"},
};

TEST(Escape, TextAndAttributeRows) {
  for (const EscapeRow& row : kEscapeRows) {
    SCOPED_TRACE(row.why);
    std::u16string text(row.input), attribute(row.input);
    EscapeText(text);
    EscapeAttribute(attribute);
    EXPECT_EQ(text, row.asText);
    EXPECT_EQ(attribute, row.asAttribute);
  }
}

// Parsed documents written back: where declarations go and in what order.
const testing::DocumentRow kDeclarationRows[] = {
    {"attributes in key order (u+b before v+a+c), then declarations in prefix order",
     "<a xmlns:z=\"u\" z:b=\"1\" c=\"2\" xmlns=\"v\"/>",
     u"<a z:b=\"1\" c=\"2\" xmlns=\"v\" xmlns:z=\"u\" />"},
    {"a child repeats no equal rebinding, only a different one or a new prefix",
     "<a xmlns:p=\"u\"><b xmlns:p=\"u\"/><c xmlns:p=\"v\"/><d xmlns:q=\"u\"/></a>",
     u"<a xmlns:p=\"u\"><b /><c xmlns:p=\"v\" /><d xmlns:q=\"u\" /></a>"},
    {"URIs are escaped as attribute values", "<a xmlns:p=\"urn:a&amp;&quot;b\"/>",
     u"<a xmlns:p=\"urn:a&amp;&quot;b\" />"},
};

TEST(Writer, DeclarationRows) { testing::ExpectDocumentRows(kDeclarationRows); }

// The nearest binding of a rebound prefix is the one declared.
TEST(Writer, ElementTakenOutOfATreeDeclaresEverythingButXml) {
  auto envelope = ParseFragment(u"<soap:Envelope xmlns:soap=\"urn:s\" xmlns:m=\"urn:m\" xmlns:a=\"urn:a\">"
                                u"<soap:Body xmlns:m=\"urn:m2\"><m:f/></soap:Body></soap:Envelope>");
  ASSERT_TRUE(envelope);
  EXPECT_EQ(Written(envelope->Children().front()),
            u"<soap:Body xmlns:a=\"urn:a\" xmlns:m=\"urn:m2\" xmlns:soap=\"urn:s\"><m:f /></soap:Body>");
}

struct Utf8Row {
  const char* why;
  std::u16string_view text;
  std::string_view bytes;
};

const Utf8Row kUtf8Rows[] = {
    {"two bytes, up to the last two-byte unit", u"\u00e9\u07ff", "\xC3\xA9\xDF\xBF"},
    {"a lone high surrogate is no character: the replacement character stands for it",
     u"\xD83Dz", "\xEF\xBF\xBDz"},
    {"the same for a high surrogate last", u"a\xD83D", "a\xEF\xBF\xBD"},
    {"and for a low surrogate before a high one", u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"pair right after an ASCII block", u"abcd\U0001F600xyz", "abcd\xF0\x9F\x98\x80xyz"},
};

TEST(Utf8Output, EncodeRows) {
  for (const Utf8Row& row : kUtf8Rows) {
    SCOPED_TRACE(row.why);
    uint8_t* buffer = nullptr;
    const size_t length = EncodeUtf8(row.text, &buffer);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), length), row.bytes);
    std::free(buffer);
  }
  uint8_t* buffer = reinterpret_cast<uint8_t*>(&buffer);
  EXPECT_EQ(EncodeUtf8(u"", &buffer), 0u);
  EXPECT_EQ(buffer, nullptr);
}

// Whatever the reader stores, the writer writes so that the reader gets it
// back: pairs from four-byte UTF-8 and from references, and lone surrogates.
TEST(RoundTrip, TextOutsideTheBasicPlaneSurvives) {
  const std::string source =
      "<a x=\"\xF0\x9F\x98\x80\">\xF0\x9F\x98\x80&#x1F601;&#xD83D;\xED\xB8\x80</a>";
  XmlDocument first;
  ASSERT_EQ(testing::ParseErrorLine(first, source), std::nullopt);
  const std::string written = WrittenDocument(first);
  EXPECT_EQ(written,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a x=\"\xF0\x9F\x98\x80\">"
            "\xF0\x9F\x98\x80\xF0\x9F\x98\x81\xF0\x9F\x98\x80</a>")
      << "a lone high and a lone low surrogate next to each other make a pair";
  XmlDocument second;
  ASSERT_EQ(testing::ParseErrorLine(second, written), std::nullopt);
  EXPECT_EQ(second.Root()->Text(), first.Root()->Text());
  EXPECT_EQ(WrittenDocument(second), written);
}

}  // namespace
}  // namespace qxsoap
