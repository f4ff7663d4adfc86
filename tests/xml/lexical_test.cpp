// Each lexical unit and the document grammar: what is accepted and what it
// gives, what is refused and on which line.
#include <gtest/gtest.h>

#include <string>

#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::DocumentRow;
using testing::ParseErrorLine;

// Documents that parse, and their root written back without a parent.
const DocumentRow kAcceptRows[] = {
    {"spaces before the slash and in the end tag", "<a  ></a  >", u"<a />"},
    {"decimal references, hex ones with lower-case x and digits in either case",
     "<a>&#65;&#x41;&#x00042;&#x4a;&#x4A;</a>", u"<a>AABJJ</a>"},
    {"the five entities", "<a>&lt;&gt;&amp;&apos;&quot;</a>", u"<a>&lt;&gt;&amp;'\"</a>"},
    {"above U+FFFF a pair, up to the last code point", "<a>&#x1F600;&#1114111;</a>",
     u"<a>\U0001F600\U0010FFFF</a>"},
    {"values keep references, the other quote, line breaks and tabs",
     "<a x=\"&#65;&amp;\" y='say \"hi\"' z=\"it's\n\t\"/>",
     u"<a x=\"A&amp;\" y=\"say &quot;hi&quot;\" z=\"it&apos;s\n\t\" />"},
    {"spaces around the equals sign, none needed between attributes", "<a x \n= '1'y=\"2\"/>",
     u"<a x=\"1\" y=\"2\" />"},
    {"CDATA kept verbatim with TAB, LF, CR and brackets before its end",
     "<a><![CDATA[<b>&amp;\t\n\r]]]]></a>", u"<a>&lt;b&gt;&amp;amp;\t\n\r]]</a>"},
    {"text around children is the parent's, spaces kept, written before the children",
     "<a> x &amp; <b>in b</b><![CDATA[ y ]]><c/> z </a>",
     u"<a> x &amp;  y  z <b>in b</b><c /></a>"},
    {"single closing brackets and carriage returns in text", "<a>]] ]>]\r\n</a>",
     u"<a>]] ]&gt;]\r\n</a>"},
    {"comments (single dashes inside) and PIs in content are dropped",
     "<a>x<!-- a - b -->y<?p d?>z</a>", u"<a>xyz</a>"},
    {"prolog of declaration, comments, PIs and document types, one with an internal subset",
     "<?xml version=\"1.0\"?>\n<!--c-->\n<?p?>\n<!DOCTYPE a [ <!ENTITY e \"x\"> <!ELEMENT a ANY> "
     "]><!-- c --><!DOCTYPE b><a/>",
     u"<a />"},
    {"epilog: comments and PIs, then junk that is not examined",
     "<a>x</a><!-- c --><?p?> trailing junk <<<", u"<a>x</a>"},
    {"name characters, also of other scripts", "<_a.b-c:d xmlns:_a.b-c=\"u\" \xCE\xB1=\"1\"/>",
     u"<_a.b-c:d \u03b1=\"1\" xmlns:_a.b-c=\"u\" />"},
};

TEST(Lexical, AcceptedDocuments) { testing::ExpectDocumentRows(kAcceptRows); }

// Documents refused, and the line each error is reported on.
const DocumentRow kRejectRows[] = {
    {"only spaces: the line where the text ends", "  \n\n ", {}, 3},
    {"no name after <", "< a/>", {}, 1},
    {"U+0000 in content", std::string("<a>\n\0</a>", 9), {}, 2},
    {"unclosed root", "<a>\n<b/>\n", {}, 3},
    {"]]> in text", "<a>1 ]]> 2</a>", {}, 1},
    {"upper-case X in a hex reference", "<a>&#X41;</a>", {}, 1},
    {"reference without a semicolon", "<a>&#65 </a>", {}, 1},
    {"reference to U+0000", "<a>&#0;</a>", {}, 1},
    {"reference above U+10FFFF", "<a>&#x110000;</a>", {}, 1},
    {"reference with a huge number", "<a>&#99999999999999999999;</a>", {}, 1},
    {"undefined entity, even declared in a DTD",
     "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", {}, 1},
    {"bare ampersand", "<a>& </a>", {}, 1},
    {"< inside a value", "<a b='x<y'/>", {}, 1},
    {"unquoted value", "<a b=1/>", {}, 1},
    {"-- not followed by > in a comment", "<a><!-- x -- y --></a>", {}, 1},
    {"CDATA cut off by the end", "<a><![CDATA[x]]", {}, 1},
    {"line separator counts as a control in CDATA", "<a><![CDATA[\xE2\x80\xA8]]></a>", {}, 1},
    {"end tag of another element", "<a>\n</b>", {}, 2},
    {"> missing after the end tag's name", "<a>\n</a\n\n x", {}, 4},
    {"junk after the attributes", "<a b=\"1\"\n!>", {}, 2},
    {"markup that is nothing known", "<a><!x></a>", {}, 1},
    {"second root is junk, but an unclosed first root is not", "<a><a/>", {}, 1},
    {"each line feed of a start tag counted once, after a name or a value",
     "<a\nb\n=\n\"1\"\n>\n<c\nd='2'\n/>\n&bad;</a>", {}, 9},
    {"a resolution failure is on the line of the cursor", "<p:a\n>", {}, 2},
    {"a duplicate attribute is on the line of the second", "<a x=\"1\"\n x=\"2\"/>", {}, 2},
    {"carriage returns do not count", "<a>\r\n\r\n</b>", {}, 3},
};

TEST(Lexical, RefusedDocumentsAndTheirLines) { testing::ExpectDocumentRows(kRejectRows); }

// Beside the line, the column of the cursor and what the reader wanted
// there, for people reading the error.
struct ErrorDetailRow {
  const char* document;
  int line, column;
  std::string_view expectedPart;
};

const ErrorDetailRow kErrorDetailRows[] = {
    {"<a>\n  </b>", 2, 6, "end tag of the open element"},
    {"<a b=\"1\"\n!>", 2, 1, "'>' or \"/>\""},
    {"<a>&nbsp;</a>", 1, 10, "amp, apos, gt, lt, quot"},
    {"<a b=1/>", 1, 6, "quoted attribute value"},
    {"\xCE\xB1<a/>", 1, 1, "'<' starting the root element"},
};

TEST(Lexical, ErrorsTellTheColumnAndWhatWasExpected) {
  for (const ErrorDetailRow& row : kErrorDetailRows) {
    SCOPED_TRACE(row.document);
    XmlDocument document;
    EXPECT_EQ(ParseErrorLine(document, row.document), row.line);
    const XmlParseError& error = document.LastError();
    EXPECT_EQ(error.line, row.line);
    EXPECT_EQ(error.column, row.column);
    EXPECT_NE(error.expected.find(row.expectedPart), std::string_view::npos) << error.expected;
  }
  XmlDocument document;
  ASSERT_EQ(ParseErrorLine(document, "<a"), 1);
  ASSERT_EQ(ParseErrorLine(document, "<a/>"), std::nullopt);
  EXPECT_EQ(document.LastError().line, 0) << "a good parse clears the last error";
}

// Views into the parsed text tell their line, for errors found in a tree;
// nothing else does, and nothing once the tree is handed out.
TEST(Lexical, ViewsIntoTheParsedTextTellTheirLine) {
  XmlDocument document;
  ASSERT_EQ(ParseErrorLine(document, "<a>\n <b x='1'\n  y='2'>t</b>\n</a>"), std::nullopt);
  const XmlElement& b = document.Root()->Children().front();
  EXPECT_EQ(document.LineAt(b.Attributes()[0].QualifiedName().data()), 2);
  EXPECT_EQ(document.LineAt(b.Attributes()[1].Value().data()), 3);
  EXPECT_EQ(document.LineAt(b.Text().data()), 3);
  const std::u16string elsewhere = u"x";
  EXPECT_EQ(document.LineAt(elsewhere.data()), 0);
  const auto root = document.DetachRoot();
  EXPECT_EQ(document.LineAt(b.Text().data()), 0) << "the tree is no longer the document's";
}

TEST(Lexical, NestingDeeperThanTheLimitIsAParseError) {
  auto nested = [](int depth) {
    std::string document;
    for (int i = 0; i < depth; ++i) document += "<e>";
    for (int i = 0; i < depth; ++i) document += "</e>";
    return document;
  };
  XmlDocument document;
  EXPECT_EQ(ParseErrorLine(document, nested(kMaxElementDepth)), std::nullopt);
  EXPECT_EQ(ParseErrorLine(document, nested(kMaxElementDepth + 1)), 1);
  EXPECT_EQ(ParseErrorLine(document, nested(100000)), 1) << "refused without running out of stack";
}

TEST(Lexical, DuplicateAttributesAreFoundAmongMany) {
  XmlDocument document;
  std::string tag = "<a";
  for (int i = 0; i < 40; ++i) tag += " x" + std::to_string(i) + "=\"\"";
  EXPECT_EQ(ParseErrorLine(document, tag + "/>"), std::nullopt);
  EXPECT_EQ(ParseErrorLine(document, tag + "\n x3=\"\"/>"), 2) << "found past the first few";
  EXPECT_EQ(ParseErrorLine(document, tag + " x40=\"\"\n x40=\"\"/>"), 2)
      << "and among the later ones";
}

}  // namespace
}  // namespace qxsoap
