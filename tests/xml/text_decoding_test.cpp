// Input encodings: byte-order marks, UTF-16 in both byte orders, UTF-8
// sequence forms and where decoding stops.
#include "xml/text_decoding.h"

#include <gtest/gtest.h>

#include <string>

#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::Reparsed;

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char low = char(unit & 0xFF), high = char(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(Encodings, EveryByteOrderMarkGivesTheSameTree) {
  const std::u16string text =
      u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"\u00e9\">caf\u00e9 \u20ac</a>";
  const std::u16string expected = u"<a x=\"\u00e9\">caf\u00e9 \u20ac</a>";
  const std::string utf8 =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"\xC3\xA9\">caf\xC3\xA9 "
      "\xE2\x82\xAC</a>";
  EXPECT_EQ(Reparsed(utf8), expected) << "plain UTF-8; the declared encoding is not consulted";
  EXPECT_EQ(Reparsed("\xEF\xBB\xBF" + utf8), expected) << "UTF-8 after its mark";
  EXPECT_EQ(Reparsed(Utf16(text, false)), expected) << "UTF-16LE after FF FE";
  EXPECT_EQ(Reparsed(Utf16(text, true)), expected) << "UTF-16BE after FE FF";
}

TEST(Encodings, Utf16LittleEndianIsReadFromUnalignedBytesToo) {
  std::string bytes(1, ' ');
  bytes += Utf16(u"<a>x</a>", false);
  XmlDocument document;
  document.Parse(reinterpret_cast<const uint8_t*>(bytes.data()) + 1, bytes.size() - 1, nullptr);
  EXPECT_EQ(document.Root()->Text(), u"x");
}

struct Utf8Row {
  const char* why;
  std::string_view bytes;
  std::u16string_view text;
};

const Utf8Row kUtf8Rows[] = {
    {"four-byte form becomes a surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
    {"three-byte surrogate is kept as that unit", "a\xED\xA0\xBDz", u"a\xD83Dz"},
    {"continuation byte as a lead stops", "ab\x80yz", u"ab"},
    {"lead without its continuation stops", "ab\xC3z", u"ab"},
    {"sequence cut off by the end stops", "ab\xE2\x82", u"ab"},
    {"over-long two-byte form stops", "ab\xC0\xAFyz", u"ab"},
    {"above U+10FFFF stops", "ab\xF4\x90\x80\x80", u"ab"},
    {"high byte inside an ASCII block", "abcdefg\xC3\xA9hijklmnop", u"abcdefg\u00e9hijklmnop"},
};

TEST(Encodings, Utf8SequenceForms) {
  for (const Utf8Row& row : kUtf8Rows) {
    SCOPED_TRACE(row.why);
    std::u16string out(row.bytes.size(), u'\0');
    const auto* bytes = reinterpret_cast<const uint8_t*>(row.bytes.data());
    out.resize(DecodeUtf8(bytes, row.bytes.size(), out.data()));
    EXPECT_EQ(out, row.text);
  }
}

// Whole inputs around the edges of decoding: where the text ends, what is
// ignored.
TEST(Encodings, WhereDecodingStopsAndWhatIsIgnored) {
  const testing::DocumentRow rows[] = {
      {"odd trailing byte of UTF-16LE", Utf16(u"<a>x</a>", false) + "A", u"<a>x</a>"},
      {"UTF-16 without its mark is UTF-8 whose zero bytes read as U+0000",
       Utf16(u"<a/>", false).substr(2), {}, 1},
      {"the text ends at a bad byte, here inside the element", "<a>x\n\xFFy</a>", {}, 2},
      {"a bad byte in the epilog is harmless", "<a>x</a>\xFF junk", u"<a>x</a>"},
      {"only a UTF-8 mark", "\xEF\xBB\xBF", {}, 1},
  };
  testing::ExpectDocumentRows(rows);
  XmlDocument document;
  EXPECT_THROW(document.Parse(nullptr, 10, nullptr), int) << "null bytes are empty input";
}

}  // namespace
}  // namespace qxsoap
