// Each lexical unit and the document grammar: what is accepted and what it
// gives, what is refused and on which line.
#include <gtest/gtest.h>

#include <string>

#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::ParseErrorLine;
using testing::Reparsed;

struct AcceptRow {
  const char* why;
  const char* document;
  std::u16string_view written;  // the root written back without a parent
};

const AcceptRow kAcceptRows[] = {
    {"empty element", "<a/>", u"<a />"},
    {"spaces before the slash and in the end tag", "<a  ></a  >", u"<a />"},
    {"decimal and lower-case hex references", "<a>&#65;&#x41;&#x00042;</a>", u"<a>AAB</a>"},
    {"hex digits in either case", "<a>&#x4a;&#x4A;</a>", u"<a>JJ</a>"},
    {"the five entities", "<a>&lt;&gt;&amp;&apos;&quot;</a>", u"<a>&lt;&gt;&amp;'\"</a>"},
    {"reference above U+FFFF becomes a pair", "<a>&#x1F600;</a>", u"<a>\U0001F600</a>"},
    {"last code point", "<a>&#1114111;</a>", u"<a>\U0010FFFF</a>"},
    {"reference in an attribute", "<a x=\"&#65;&amp;\"/>", u"<a x=\"A&amp;\" />"},
    {"the other quote inside a value", "<a x='say \"hi\"' y=\"it's\"/>",
     u"<a x=\"say &quot;hi&quot;\" y=\"it&apos;s\" />"},
    {"line breaks and tabs kept in values", "<a x=\"1\n\t2\"/>", u"<a x=\"1\n\t2\" />"},
    {"no space needed between attributes", "<a x=\"1\"y=\"2\"/>", u"<a x=\"1\" y=\"2\" />"},
    {"spaces around the equals sign", "<a x \n= '1'/>", u"<a x=\"1\" />"},
    {"CDATA kept verbatim", "<a><![CDATA[<b>&amp;</b>]]></a>",
     u"<a>&lt;b&gt;&amp;amp;&lt;/b&gt;</a>"},
    {"CDATA with brackets before its end", "<a><![CDATA[x]]]]></a>", u"<a>x]]</a>"},
    {"CDATA keeps TAB, LF and CR", "<a><![CDATA[\t\n\r]]></a>", u"<a>\t\n\r</a>"},
    {"text between children is joined", "<a>x<b/>y</a>", u"<a>xy<b /></a>"},
    {"single closing brackets in text", "<a>]] ]>]</a>", u"<a>]] ]&gt;]</a>"},
    {"comments and PIs in content are dropped", "<a>x<!-- c -->y<?p d?>z</a>", u"<a>xyz</a>"},
    {"comment with single dashes", "<a><!-- a - b --></a>", u"<a />"},
    {"PI without a target: its text is character data", "<a><? x?></a>", u"<a> x?&gt;</a>"},
    {"prolog of declaration, comments and PIs", "<?xml version=\"1.0\"?>\n<!--c-->\n<?p?>\n<a/>",
     u"<a />"},
    {"document type with internal subset",
     "<!DOCTYPE a [ <!ENTITY e \"x\"> <!ELEMENT a ANY> ]><a/>", u"<a />"},
    {"several document types", "<!DOCTYPE a><!-- c --><!DOCTYPE b><a/>", u"<a />"},
    {"document type without a name is not one", "<!DOCTYPE <a/>", u"<a />"},
    {"trailing junk is not examined", "<a>x</a>trailing junk <<<", u"<a>x</a>"},
    {"comment and PI in the epilog", "<a/><!-- c --><?p?>  ", u"<a />"},
    {"names of other scripts", "<caf\xC3\xA9 \xCE\xB1=\"1\"/>", u"<caf\u00e9 \u03b1=\"1\" />"},
    {"name characters", "<_a.b-c:d xmlns:_a.b-c=\"u\"/>", u"<_a.b-c:d xmlns:_a.b-c=\"u\" />"},
    {"carriage returns stay in text", "<a>x\r\ny</a>", u"<a>x\r\ny</a>"},
};

TEST(Lexical, AcceptedDocuments) {
  for (const AcceptRow& row : kAcceptRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Reparsed(row.document), row.written);
  }
}

struct RejectRow {
  const char* why;
  std::string_view document;
  int line;
};

const RejectRow kRejectRows[] = {
    {"empty input", "", 1},
    {"only spaces: the line where the text ends", "  \n\n ", 3},
    {"only a comment", "<!-- c -->\n", 2},
    {"text instead of a root", "hello", 1},
    {"no name after <", "< a/>", 1},
    {"U+0000 before the root", std::string_view("\0<a/>", 5), 1},
    {"U+0000 in content", std::string_view("<a>\n\0</a>", 9), 2},
    {"unclosed root", "<a>\n<b/>\n", 3},
    {"]]> in text", "<a>1 ]]> 2</a>", 1},
    {"upper-case X in a hex reference", "<a>&#X41;</a>", 1},
    {"reference without digits", "<a>&#;</a>", 1},
    {"hex reference without digits", "<a>&#x;</a>", 1},
    {"reference without a semicolon", "<a>&#65 </a>", 1},
    {"reference to U+0000", "<a>&#0;</a>", 1},
    {"reference above U+10FFFF", "<a>&#x110000;</a>", 1},
    {"reference with a huge number", "<a>&#99999999999999999999;</a>", 1},
    {"undefined entity", "<a>&nbsp;</a>", 1},
    {"entity declared in a DTD is still undefined",
     "<!DOCTYPE a [<!ENTITY nbsp \"x\">]><a>&nbsp;</a>", 1},
    {"entity name without a semicolon", "<a>&amp </a>", 1},
    {"bare ampersand", "<a>& </a>", 1},
    {"duplicate attribute", "<a b=\"1\" b=\"2\"/>", 1},
    {"< inside a value", "<a b='x<y'/>", 1},
    {"value cut off by the end", "<a b=\"x", 1},
    {"unquoted value", "<a b=1/>", 1},
    {"attribute without a value", "<a b/>", 1},
    {"-- not followed by > in a comment", "<a><!-- x -- y --></a>", 1},
    {"comment cut off by the end", "<a><!-- x", 1},
    {"PI cut off by the end", "<?xml version=\"1.0\"", 1},
    {"CDATA cut off by the end", "<a><![CDATA[x]]", 1},
    {"control character in CDATA", "<a><![CDATA[\x01]]></a>", 1},
    {"line separator counts as a control in CDATA", "<a><![CDATA[\xE2\x80\xA8]]></a>", 1},
    {"document type cut off by the end", "<!DOCTYPE a [", 1},
    {"end tag of another element", "<a>\n</b>", 2},
    {"> missing after the end tag's name", "<a>\n</a\n\n x", 4},
    {"slash not followed by >", "<a/ >", 1},
    {"junk after the attributes", "<a b=\"1\"\n!>", 2},
    {"markup that is nothing known", "<a><!x></a>", 1},
    {"end of text after the last line feed", "<a>\n", 2},
    {"second root is junk, but an unclosed first root is not", "<a><a/>", 1},
};

TEST(Lexical, RefusedDocumentsAndTheirLines) {
  for (const RejectRow& row : kRejectRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(ParseErrorLine(row.document), row.line);
  }
}

// Start tags written over several lines: each line feed passed is counted
// once, whether it follows an element name, an attribute name or a value.
TEST(Lexical, LineNumbersCountEachLineFeedPassedOnce) {
  EXPECT_EQ(ParseErrorLine("<a\nb\n=\n\"1\"\n>\n<c\nd='2'\n/>\n&bad;</a>"), 9);
  EXPECT_EQ(ParseErrorLine("<p:a\n>"), 2) << "a resolution failure is on the line of the cursor";
  EXPECT_EQ(ParseErrorLine("<a x=\"1\"\n x=\"2\"/>"), 2);
  EXPECT_EQ(ParseErrorLine("<a>\r\n\r\n</b>"), 3) << "carriage returns do not count";
}

TEST(Lexical, NestingDeeperThanTheLimitIsAParseError) {
  auto nested = [](int depth) {
    std::string document;
    for (int i = 0; i < depth; ++i) document += "<e>";
    for (int i = 0; i < depth; ++i) document += "</e>";
    return document;
  };
  EXPECT_EQ(ParseErrorLine(nested(kMaxElementDepth)), std::nullopt);
  EXPECT_EQ(ParseErrorLine(nested(kMaxElementDepth + 1)), 1);
  EXPECT_EQ(ParseErrorLine(nested(100000)), 1) << "refused without running out of stack";
}

TEST(Lexical, DuplicateAttributesAreFoundAmongMany) {
  std::string tag = "<a";
  for (int i = 0; i < 40; ++i) tag += " x" + std::to_string(i) + "=\"\"";
  EXPECT_EQ(ParseErrorLine(tag + "/>"), std::nullopt);
  EXPECT_EQ(ParseErrorLine(tag + "\n x3=\"\"/>"), 2) << "found past the first few";
  EXPECT_EQ(ParseErrorLine(tag + " x40=\"\"\n x40=\"\"/>"), 2) << "and among the later ones";
}

TEST(Lexical, ElementTextAndChildren) {
  XmlDocument document;
  ASSERT_EQ(ParseErrorLine(document, "<a> x &amp; <b>in b</b><![CDATA[ y ]]><c/> z </a>"),
            std::nullopt);
  const XmlElement& root = *document.Root();
  EXPECT_EQ(root.text, u" x &  y  z ") << "spaces are kept, child text is not the parent's";
  ASSERT_EQ(root.Children().size(), 2u);
  EXPECT_EQ(root.Children()[0]->text, u"in b");
  EXPECT_EQ(root.Children()[1]->qualifiedName, u"c");
}

TEST(Lexical, ParseTextTakesTheTextAsItIs) {
  XmlDocument document;
  EXPECT_THROW(document.ParseText(u"\uFEFF<a/>", nullptr), int) << "no byte-order mark handling";
  document.ParseText(u"<a>\U0001F600</a>", nullptr);
  EXPECT_EQ(document.Root()->text, u"\U0001F600");
}

TEST(Lexical, ANewParseReplacesTheRootAndAFailedOneLeavesNone) {
  XmlDocument document;
  ASSERT_EQ(ParseErrorLine(document, "<a/>"), std::nullopt);
  ASSERT_EQ(ParseErrorLine(document, "<b/>"), std::nullopt);
  EXPECT_EQ(document.Root()->qualifiedName, u"b");
  EXPECT_EQ(ParseErrorLine(document, "<c><d>"), 1);
  EXPECT_EQ(document.Root(), nullptr);
}

}  // namespace
}  // namespace qxsoap
