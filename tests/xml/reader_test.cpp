// The reader: what it accepts and gives, what it refuses and where, and the
// input encodings it decodes.
#include <gtest/gtest.h>

#include <string>

#include "xml/text_decoding.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::DocumentRow;
using testing::ParseErrorLine;

std::string Nested(int depth) {
  std::string document;
  for (int i = 0; i < depth; ++i) document += "<e>";
  for (int i = 0; i < depth; ++i) document += "</e>";
  return document;
}

// More attributes than the reader compares one by one.
std::string ManyAttributes() {
  std::string tag = "<a";
  for (int i = 0; i < 40; ++i) tag += " x" + std::to_string(i) + "=\"\"";
  return tag;
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char low = char(unit & 0xFF), high = char(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(Reader, AcceptedDocuments) {
  const DocumentRow rows[] = {
      {"spaces in tags and around '=', none needed between attributes",
       "<a x \n= '1'y=\"2\"  ></a  >", u"<a x=\"1\" y=\"2\" />"},
      {"references: decimal, hex with lower-case x and digits in either case, a pair above "
       "U+FFFF up to the last code point, the five entities; text escapes & < > alone",
       "<a>&#65;&#x4a;&#x4A;&#x1F600;&#1114111;&lt;&gt;&amp;&apos;&quot;</a>",
       u"<a>AJJ\U0001F600\U0010FFFF&lt;&gt;&amp;'\"</a>"},
      {"values keep references, the other quote, tabs and line breaks; written back all but "
       "'>' is escaped, and a reference written is escaped like any text",
       "<a x=\"&#65;&amp;lt;&lt;>\" y='say \"hi\"' z=\"it's\n\t\r\"/>",
       u"<a x=\"A&amp;lt;&lt;>\" y=\"say &quot;hi&quot;\" z=\"it&apos;s\n\t\r\" />"},
      {"CDATA kept verbatim with TAB, LF, CR and brackets before its end",
       "<a><![CDATA[<b>&amp;\t\n\r]]]]></a>", u"<a>&lt;b&gt;&amp;amp;\t\n\r]]</a>"},
      {"text around children is the parent's, written before them; single closing brackets "
       "and carriage returns are text",
       "<a> x &amp; ]] ]>]\r\n<b>in b</b><![CDATA[ y ]]><c/> z </a>",
       u"<a> x &amp; ]] ]&gt;]\r\n y  z <b>in b</b><c /></a>"},
      {"comments (single dashes inside), PIs and document types (one with an internal "
       "subset) are dropped; after the root nothing is examined",
       "<?xml version=\"1.0\"?>\n<!--c-->\n<?p?>\n<!DOCTYPE a [ <!ENTITY e \"x\"> <!ELEMENT a "
       "ANY> ]><!-- c --><!DOCTYPE b><a>x<!-- a - b -->y<?p d?>z</a><!-- c --><?p?> junk <<<",
       u"<a>xyz</a>"},
      {"name characters, also of other scripts", "<_a.b-c:d xmlns:_a.b-c=\"u\" \xCE\xB1=\"1\"/>",
       u"<_a.b-c:d \u03b1=\"1\" xmlns:_a.b-c=\"u\" />"},
  };
  testing::ExpectDocumentRows(rows);
  XmlDocument document;
  EXPECT_EQ(ParseErrorLine(document, Nested(kMaxElementDepth)), std::nullopt);
  EXPECT_EQ(ParseErrorLine(document, ManyAttributes() + "/>"), std::nullopt);
}

// Where given, the column and what the reader wanted there, for people
// reading the error.
TEST(Reader, RefusedDocumentsAndWhere) {
  const DocumentRow rows[] = {
      {"only spaces: the line where the text ends", "  \n\n ", {}, 3},
      {"no element", "\xCE\xB1<a/>", {}, 1, 1, "'<' starting the root element"},
      {"no name after <", "<a><b>< c/></b></a>", {}, 1, 8, "an element name after '<'"},
      {"U+0000 in content", std::string("<a>\n\0</a>", 9), {}, 2},
      {"unclosed root; a second root would be junk", "<a>\n<a/>\n", {}, 3},
      {"]]> in text", "<a>1 ]]> 2</a>", {}, 1},
      {"upper-case X in a hex reference", "<a>&#X41;</a>", {}, 1},
      {"reference without a semicolon", "<a>&#65 </a>", {}, 1},
      {"reference to U+0000", "<a>&#0;</a>", {}, 1},
      {"reference above U+10FFFF", "<a>&#x110000;</a>", {}, 1},
      {"reference with a huge number", "<a>&#99999999999999999999;</a>", {}, 1},
      {"undefined entity", "<a>&nbsp;</a>", {}, 1, 10, "amp, apos, gt, lt, quot"},
      {"undefined entity declared in a DTD", "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", {}, 1},
      {"bare ampersand", "<a>& </a>", {}, 1},
      {"< inside a value", "<a b='x<y'/>", {}, 1},
      {"unquoted value", "<a b=1/>", {}, 1, 6, "quoted attribute value"},
      {"-- not followed by > in a comment", "<a><!-- x -- y --></a>", {}, 1},
      {"CDATA cut off by the end", "<a><![CDATA[x]]", {}, 1},
      {"line separator counts as a control in CDATA", "<a><![CDATA[\xE2\x80\xA8]]></a>", {}, 1},
      {"end tag of another element; carriage returns are no line", "<a>\r\n  </b>", {}, 2, 6,
       "end tag of the open element"},
      {"> missing after the end tag's name", "<a>\n</a\n\n x", {}, 4},
      {"junk after the attributes", "<a b=\"1\"\n!>", {}, 2, 1, "'>' or \"/>\""},
      {"markup that is nothing known", "<a><!x></a>", {}, 1},
      {"each line feed of a start tag counted once, after a name or a value",
       "<a\nb\n=\n\"1\"\n>\n<c\nd='2'\n/>\n&bad;</a>", {}, 9},
      {"an undeclared prefix, on the line of the cursor", "<p:a\n>", {}, 2},
      {"undeclared attribute prefix", "<a p:x=\"1\"/>", {}, 1},
      {"attribute with an empty prefix", "<a :x=\"1\"/>", {}, 1},
      {"second colon in a name", "<a p:x:y=\"1\" xmlns:p=\"u\"/>", {}, 1},
      {"fuzz: an element with a prefix and no local name", "<p: xmlns:p=\"u\"/>", {}, 1},
      {"an attribute with a prefix and no local name", "<a p:=\"1\" xmlns:p=\"u\"/>", {}, 1},
      {"two prefixes for one URI give one key",
       "<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>", {}, 1},
      {"a prefix declared on a sibling is out of scope", "<a><b xmlns:p=\"u\"/><p:c/></a>", {}, 1},
      {"fuzz: xmlns: declares no prefix; written back it would be a default namespace",
       "<a xml:ns=\"m\" xmlns:=\"svn,\" p=\"w.w3.\"/>", {}, 1},
      // Found as the tag is read, not later when its names are resolved.
      {"a duplicate attribute is on the line of the second", "<a x=\"1\"\n x=\"2\"\n/>", {}, 2},
      {"a duplicate of one of the first of many", ManyAttributes() + "\n x3=\"\"\n/>", {}, 2},
      {"a duplicate among the later ones", ManyAttributes() + " x40=\"\"\n x40=\"\"\n/>", {}, 2},
      {"nesting deeper than the limit", Nested(kMaxElementDepth + 1), {}, 1},
      {"far deeper, refused without running out of stack", Nested(100000), {}, 1},
  };
  testing::ExpectDocumentRows(rows);
  XmlDocument document;
  ASSERT_EQ(ParseErrorLine(document, "<a"), 1);
  ASSERT_EQ(ParseErrorLine(document, "<a/>"), std::nullopt);
  EXPECT_EQ(document.LastError().line, 0) << "a good parse clears the last error";
}

// Views into the parsed text tell their line, for errors found in a tree;
// nothing else does, and nothing once the tree is handed out.
TEST(Reader, ViewsIntoTheParsedTextTellTheirLine) {
  XmlDocument document;
  ASSERT_EQ(ParseErrorLine(document, "<a>\n <b x='1'\n  y='2'>t</b>\n</a>"), std::nullopt);
  const XmlElement& b = document.Root()->Children().front();
  EXPECT_EQ(document.LineAt(b.Attributes()[0].QualifiedName().data()), 2);
  EXPECT_EQ(document.LineAt(b.Attributes()[1].Value().data()), 3);
  EXPECT_EQ(document.LineAt(b.Text().data()), 3);
  EXPECT_EQ(document.LineAt(u"x"), 0);
  const auto root = document.DetachRoot();
  EXPECT_EQ(document.LineAt(b.Text().data()), 0) << "the tree is no longer the document's";
}

TEST(Encodings, ByteOrderMarksAndWhereDecodingStops) {
  const std::u16string text = u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00e9\u20ac</a>";
  const std::string utf8 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC3\xA9\xE2\x82\xAC</a>";
  const DocumentRow rows[] = {
      {"UTF-8; the declared encoding is not consulted", utf8, u"<a>\u00e9\u20ac</a>"},
      {"UTF-8 after its mark", "\xEF\xBB\xBF" + utf8, u"<a>\u00e9\u20ac</a>"},
      {"UTF-16LE after FF FE", Utf16(text, false), u"<a>\u00e9\u20ac</a>"},
      {"UTF-16BE after FE FF", Utf16(text, true), u"<a>\u00e9\u20ac</a>"},
      {"odd trailing byte of UTF-16LE", Utf16(u"<a>x</a>", false) + "A", u"<a>x</a>"},
      {"UTF-16 without its mark is UTF-8 whose zero bytes read as U+0000",
       Utf16(u"<a/>", false).substr(2), {}, 1},
      {"the text ends at a bad byte, here inside the element", "<a>x\n\xFFy</a>", {}, 2},
      {"a bad byte in the epilog is harmless", "<a>x</a>\xFF junk", u"<a>x</a>"},
      {"only a UTF-8 mark", "\xEF\xBB\xBF", {}, 1},
      {"four-byte form becomes a surrogate pair; a three-byte surrogate is kept as that unit",
       "<a>\xF0\x9F\x98\x80\xED\xA0\xBD</a>", u"<a>\U0001F600\xD83D</a>"},
      {"a high byte inside an ASCII block", "<a>abcdefg\xC3\xA9hijklmnop</a>",
       u"<a>abcdefg\u00e9hijklmnop</a>"},
      // Decoding stops at a bad sequence: the text ends on the line before.
      {"a continuation byte as a lead", "<a>\n\x80</a>", {}, 2},
      {"a lead without its continuation", "<a>\n\xC3z</a>", {}, 2},
      {"an over-long two-byte form", "<a>\n\xC0\xAF</a>", {}, 2},
      {"above U+10FFFF", "<a>\n\xF4\x90\x80\x80</a>", {}, 2},
  };
  testing::ExpectDocumentRows(rows);
  XmlDocument document;
  EXPECT_THROW(document.Parse(nullptr, 10, nullptr), int) << "null bytes are empty input";
  char16_t out[4];
  EXPECT_EQ(DecodeUtf8(reinterpret_cast<const uint8_t*>("ab\xE2\x82"), 4, out), 2u)
      << "a sequence cut off by the end stops";
}

}  // namespace
}  // namespace qxsoap
