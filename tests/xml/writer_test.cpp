// The writer: namespace declarations, UTF-8 output and round trips through
// reader and writer (escaping is checked with the reader's accepted rows).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "xml/deferred_text.h"
#include "xml/utf8_encoding.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::ParseErrorLine;
using testing::WrittenDocument;

// Parsed documents written back: where declarations go and in what order.
TEST(Writer, DeclarationsWhereTheyAreNeeded) {
  const testing::DocumentRow rows[] = {
      {"attributes in key order (u+b before v+a+c), then declarations in prefix order",
       "<a xmlns:z=\"u\" z:b=\"1\" c=\"2\" xmlns=\"v\"/>",
       u"<a z:b=\"1\" c=\"2\" xmlns=\"v\" xmlns:z=\"u\" />"},
      {"a child repeats no equal rebinding, only a different one or a new prefix",
       "<a xmlns:p=\"u\"><b xmlns:p=\"u\"/><c xmlns:p=\"v\"/><d xmlns:q=\"u\"/></a>",
       u"<a xmlns:p=\"u\"><b /><c xmlns:p=\"v\" /><d xmlns:q=\"u\" /></a>"},
      {"URIs are escaped as attribute values", "<a xmlns:p=\"urn:a&amp;&quot;b\"/>",
       u"<a xmlns:p=\"urn:a&amp;&quot;b\" />"},
  };
  testing::ExpectDocumentRows(rows);
  // An element taken out of its tree declares all in scope but xml, the
  // nearest binding of a rebound prefix.
  auto envelope = ParseFragment(
      u"<s:Envelope xmlns:s=\"urn:s\" xmlns:m=\"urn:m\" xmlns:a=\"urn:a\">"
      u"<s:Body xmlns:m=\"urn:m2\"><m:f/></s:Body></s:Envelope>");
  ASSERT_TRUE(envelope);
  EXPECT_EQ(testing::Written(envelope->Children().front()),
            u"<s:Body xmlns:a=\"urn:a\" xmlns:m=\"urn:m2\" xmlns:s=\"urn:s\"><m:f /></s:Body>");
}

// Documents written out as UTF-8 read back to what was written. Whatever
// the reader stores, the writer writes so that the reader gets it back:
// pairs from four-byte UTF-8 and from references, and a lone high and a lone
// low surrogate next to each other, which make a pair; other lone
// surrogates are no characters, so the replacement character stands for
// them.
TEST(Writer, WritesUtf8ThatReadsBack) {
  const struct {
    const char* why;
    std::string_view source, written;
  } rows[] = {
      {"two and three bytes", "<a>\xC3\xA9\xDF\xBF\xE2\x82\xAC</a>",
       "<a>\xC3\xA9\xDF\xBF\xE2\x82\xAC</a>"},
      {"pairs, one right after an ASCII block", "<a x=\"\xF0\x9F\x98\x80\">abcd\xF0\x9F\x98\x80"
       "&#x1F601;&#xD83D;\xED\xB8\x80</a>",
       "<a x=\"\xF0\x9F\x98\x80\">abcd\xF0\x9F\x98\x80\xF0\x9F\x98\x81\xF0\x9F\x98\x80</a>"},
      {"a high surrogate before no low one, a low one alone, a high one last",
       "<a>&#xD83D;z\xED\xB8\x80&#xD83D;</a>", "<a>\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD</a>"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    XmlDocument document;
    ASSERT_EQ(ParseErrorLine(document, row.source), std::nullopt);
    const std::string written = WrittenDocument(document);
    EXPECT_EQ(written, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + std::string(row.written));
    ASSERT_EQ(ParseErrorLine(document, written), std::nullopt);
    EXPECT_EQ(WrittenDocument(document), written);
  }
  uint8_t* buffer = reinterpret_cast<uint8_t*>(&buffer);
  EXPECT_EQ(EncodeUtf8(u"", &buffer), 0u) << "no text, no buffer";
  EXPECT_EQ(buffer, nullptr);
}

// A producer of fixed text that counts how often it is written.
class CountingText final : public DeferredText {
 public:
  explicit CountingText(std::string_view text) : text_(text) {}
  size_t Length() const override { return text_.size(); }
  void Write(uint8_t* out) const override {
    ++writes;
    std::copy(text_.begin(), text_.end(), out);
  }
  void Write(char16_t* out) const override {
    ++writes;
    std::copy(text_.begin(), text_.end(), out);
  }
  mutable int writes = 0;

 private:
  std::string_view text_;
};

// A deferred text is written where the element's text goes, before its
// children, into either output; read, it is made once and stays; any text
// set later replaces it; an empty one is no text.
TEST(Writer, WritesDeferredTextsWhereTextGoes) {
  CountingText producer("QUJD+/8="), nothing("");
  auto root = XmlElement::NewTree(u"a");
  root->AddChild(u"empty").DeferText(nothing);
  XmlElement& data = root->AddChild(u"data");
  data.DeferText(producer);
  data.AddChild(u"after");
  XmlElement& replaced = root->AddChild(u"replaced");
  replaced.DeferText(producer);
  replaced.SetText(u"x");
  XmlDocument document;
  document.SetRoot(std::move(root));
  EXPECT_EQ(WrittenDocument(document),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<a><empty /><data>QUJD+/8=<after /></data><replaced>x</replaced></a>");
  EXPECT_EQ(testing::Written(*document.Root()),
            u"<a><empty /><data>QUJD+/8=<after /></data><replaced>x</replaced></a>");
  EXPECT_EQ(producer.writes, 2);
  EXPECT_EQ(nothing.writes, 0);
  ASSERT_NE(data.Deferred(), nullptr);
  EXPECT_EQ(data.Text(), u"QUJD+/8=");
  EXPECT_EQ(data.Deferred(), nullptr);
  EXPECT_EQ(data.Text(), u"QUJD+/8=");
  EXPECT_EQ(producer.writes, 3);
}

}  // namespace
}  // namespace qxsoap
