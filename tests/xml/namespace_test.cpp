// Namespace resolution, attribute keys and tree building for output.
#include <gtest/gtest.h>

#include "xml/namespaces.h"
#include "xml/same_text.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::DocumentRow;
using testing::Written;

// How the last element of the document's first line of descent (the root's
// first child, or the root) is resolved.
struct ResolutionRow {
  const char* why;
  const char16_t* document;
  std::u16string_view namespaceUri, localName;
  std::u16string_view attributeKeys;  // every key, in key order, each followed by ';'
};

const ResolutionRow kResolutionRows[] = {
    {"the default namespace reaches elements; unprefixed attributes are filed under the "
     "element's namespace and name",
     u"<a xmlns=\"u\"><b id=\"1\"/></a>", u"u", u"b", u"ubid;"},
    {"prefixed names; the nearer declaration wins",
     u"<p:a xmlns:p=\"u\" xmlns:q=\"v\"><q:b xmlns:p=\"w\" p:x=\"1\"/></p:a>", u"v", u"b", u"wx;"},
    {"declarations are not attributes", u"<a xmlns=\"u\" xmlns:p=\"v\" x=\"1\"/>", u"u", u"a",
     u"uax;"},
    {"xmlns=\"\" undeclares the default namespace; no prefix is reserved, xml included",
     u"<a xmlns=\"u\"><b xmlns=\"\" xmlns:xml=\"z\" xml:x=\"1\"/></a>", u"", u"b", u"zx;"},
    {"a colon in first place is part of a local name", u"<:a xmlns=\"u\"/>", u"u", u":a", u""},
};

TEST(Namespaces, ResolvedNamesAndAttributeKeys) {
  for (const ResolutionRow& row : kResolutionRows) {
    SCOPED_TRACE(row.why);
    auto root = ParseFragment(row.document);
    ASSERT_TRUE(root);
    const XmlElement& element = root->Children().empty() ? *root : root->Children().front();
    EXPECT_EQ(element.NamespaceUri(), row.namespaceUri);
    EXPECT_EQ(element.LocalName(), row.localName);
    std::u16string keys;
    for (const XmlAttribute& attribute : element.Attributes()) keys += attribute.KeyText() + u";";
    EXPECT_EQ(keys, row.attributeKeys);
  }
}

const DocumentRow kFailureRows[] = {
    {"undeclared attribute prefix", "<a p:x=\"1\"/>", {}, 1},
    {"attribute with an empty prefix", "<a :x=\"1\"/>", {}, 1},
    {"second colon in a name", "<a p:x:y=\"1\" xmlns:p=\"u\"/>", {}, 1},
    {"two prefixes for one URI give one key",
     "<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>", {}, 1},
    {"a prefix declared on a sibling is out of scope", "<a><b xmlns:p=\"u\"/><p:c/></a>", {}, 1},
    {"fuzz: xmlns: declares no prefix; written back it would be a default namespace",
     "<a xml:ns=\"m\" xmlns:=\"svn,\" p=\"w.w3.\"/>", {}, 1},
};

TEST(Namespaces, ResolutionFailuresAreParseErrors) { testing::ExpectDocumentRows(kFailureRows); }

TEST(AttributeKeys, GetAttributeBuildsTheKeyOfEitherForm) {
  auto item = ParseFragment(
      u"<m:item xmlns:m=\"u\" xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\" id=\"7\" "
      u"e:encodingStyle=\"enc\"/>");
  ASSERT_TRUE(item);
  std::u16string value = u"unchanged";
  EXPECT_FALSE(item->GetAttribute(u"", u"encodingStyle", value));
  EXPECT_FALSE(item->GetAttribute(u"u", u"id", value))
      << "unprefixed is not in the element's namespace";
  EXPECT_EQ(value, u"unchanged");
  EXPECT_TRUE(item->GetAttribute(u"", u"id", value));
  EXPECT_EQ(value, u"7");
  EXPECT_TRUE(item->GetAttribute(SOAP12_ENV_NS, u"encodingStyle", value))
      << "found whatever prefix bound the namespace";
  EXPECT_EQ(value, u"enc");
}

TEST(TreeBuilding, SetQualifiedAttributeFilesOrDropsSilently) {
  auto built = XmlElement::NewTree(u"h:block", u"urn:h", u"block");
  XmlElement& element = *built;
  element.DeclareNamespace(u"h", u"urn:h");
  element.SetQualifiedAttribute(u"SOAP-ENV:encodingStyle", SOAP11_ENV_NS, u"enc");
  element.SetQualifiedAttribute(u"id", u"ignored", u"1");
  element.SetQualifiedAttribute(u"h:x", u"urn:other", u"dropped: h is bound elsewhere");
  element.SetQualifiedAttribute(u":x", u"urn:h", u"dropped: empty prefix");
  element.SetQualifiedAttribute(u"h:x:y", u"urn:h", u"dropped: second colon");
  element.SetQualifiedAttribute(u"id", u"", u"dropped: key taken");
  EXPECT_TRUE(element.AddAttribute(u"v", u"1")) << "filed under its qualified name";
  EXPECT_FALSE(element.AddAttribute(u"v", u"refused: key taken"));
  EXPECT_FALSE(element.DeclareNamespace(u"h", u"refused: the first binding wins"));
  EXPECT_EQ(Written(element),
            u"<h:block SOAP-ENV:encodingStyle=\"enc\" id=\"1\" v=\"1\" "
            u"xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:h=\"urn:h\" />");
  EXPECT_EQ(element.FindAttribute(u"urn:hblockid")->OwnerNamespaceUri(), u"urn:h");
}

// Parsed elements share their name and scope with their siblings of the
// same name, and their attribute arrays are sized to what was read: an
// edit of one must grow its own array and leave the siblings as they were.
TEST(TreeBuilding, EditsOfAParsedElementLeaveItsSiblingsAlone) {
  auto root = ParseFragment(u"<r xmlns:p=\"u\"><i c=\"1\" b=\"2\" a=\"3\"/><i/></r>");
  ASSERT_TRUE(root);
  XmlElement& first = root->Children().front();
  for (char16_t c = u'z'; c > u'j'; --c) {
    ASSERT_TRUE(first.AddAttribute(std::u16string(1, c), u"v"));
  }
  EXPECT_TRUE(first.DeclareNamespace(u"q", u"w"));
  first.SetQualifiedAttribute(u"p:x", u"u", u"4");
  std::u16string keys;
  for (const XmlAttribute& attribute : first.Attributes()) keys += attribute.KeyText() + u";";
  EXPECT_EQ(keys, u"ia;ib;ic;k;l;m;n;o;p;q;r;s;t;u;ux;v;w;x;y;z;");
  EXPECT_EQ(Written(*root),
            u"<r xmlns:p=\"u\"><i a=\"3\" b=\"2\" c=\"1\" k=\"v\" l=\"v\" m=\"v\" n=\"v\" "
            u"o=\"v\" p=\"v\" q=\"v\" r=\"v\" s=\"v\" t=\"v\" u=\"v\" p:x=\"4\" v=\"v\" w=\"v\" "
            u"x=\"v\" y=\"v\" z=\"v\" xmlns:q=\"w\" /><i /></r>");
}

// A built element keeps its declarations in one frame, kept in prefix
// order however they arrive: each prefix finds its own URI, and the writer
// declares them all once, in prefix order.
TEST(TreeBuilding, ManyDeclarationsInAnyOrderKeepEveryBinding) {
  auto built = XmlElement::NewTree(u"e");
  XmlElement& element = *built;
  std::u16string expected = u"<e";
  for (int i = 0; i < 40; ++i) {
    const char16_t unit = char16_t(u'A' + i * 7 % 40);
    ASSERT_TRUE(element.DeclareNamespace(std::u16string{u'p', unit}, std::u16string{u'u', unit}));
  }
  for (char16_t c = u'A'; c < u'A' + 40; ++c) {
    const std::u16string prefix{u'p', c};
    const std::u16string_view* bound = element.Scope().Find(prefix);
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(*bound, (std::u16string{u'u', c}));
    expected += u" xmlns:" + prefix + u"=\"u" + c + u"\"";
  }
  EXPECT_FALSE(element.DeclareNamespace(u"pA", u"v"));
  EXPECT_EQ(Written(element), expected + u" />");
}

TEST(SameText, ComparesUnitsWhereverTheyLive) {
  const std::u16string uri(XSI2001_NS);
  const struct {
    const char* why;
    std::u16string_view a, b;
    bool same;
  } rows[] = {
      {"an empty view without storage and an empty literal", {}, u"", true},
      {"two empty views without storage", {}, {}, true},
      {"one text in two places", XSI2001_NS, uri, true},
      {"one length, apart in the middle", XSI2001_NS, XSI1999_NS, false},
      {"a prefix of the other", u"urn:a", u"urn:ab", false},
      {"empty against text", {}, u"x", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(SameText(row.a, row.b), row.same);
    EXPECT_EQ(SameText(row.b, row.a), row.same);
  }
  EXPECT_TRUE(IsText(std::u16string(u"type"), u"type"));
  EXPECT_FALSE(IsText(u"typf", u"type"));
  EXPECT_FALSE(IsText(u"types", u"type"));
  EXPECT_FALSE(IsText({}, u"type"));
  EXPECT_TRUE(StartsWithText(uri, XSI2001_NS.substr(0, 10)));
  EXPECT_FALSE(StartsWithText(XSI2001_NS.substr(0, 10), uri));
}

// Keys order as their concatenated texts do, unit by unit (so U+FF00 after
// U+D800), wherever the parts split and whether or not they share storage.
TEST(AttributeKeys, OrderAsTheirConcatenatedTexts) {
  const std::u16string texts[] = {
      u"",
      u"http://schemas.xmlsoap.org/soap/envelope/encodingStyle",
      u"http://schemas.xmlsoap.org/soap/envelope/encodingStylf",
      u"http://schemas.xmlsoap.org/soap/encoding/root",
      u"http://www.w3.org/2001/XMLSchema-instancetype",
      std::u16string(u"abc") + char16_t(0x0100) + u'd',
      std::u16string(u"abc") + char16_t(0x00FF) + u'd',
      std::u16string(u"abc") + char16_t(0xD800),
      std::u16string(u"abc") + char16_t(0xFF00),
      u"abcd",
      u"abcde",
  };
  const auto sign = [](int order) { return (order > 0) - (order < 0); };
  for (const std::u16string& a : texts) {
    for (const std::u16string& b : texts) {
      const int expected = sign(a.compare(b));
      // Every split of `a` into three parts against `b` whole and in two.
      for (size_t i = 0; i <= a.size(); ++i) {
        for (size_t j = i; j <= a.size(); ++j) {
          const std::u16string_view v(a);
          const AttributeKeyParts split{{v.substr(0, i), v.substr(i, j - i), v.substr(j)}};
          const std::u16string_view w(b);
          const size_t half = w.size() / 2;
          const AttributeKeyParts whole{{w, {}, {}}};
          const AttributeKeyParts halves{{w.substr(0, half), w.substr(half), {}}};
          ASSERT_EQ(sign(split.Compare(whole)), expected) << i << ' ' << j;
          ASSERT_EQ(sign(whole.Compare(split)), -expected) << i << ' ' << j;
          ASSERT_EQ(sign(split.Compare(halves)), expected) << i << ' ' << j;
        }
      }
      // Keys sharing their first two parts compare by the third alone.
      const std::u16string_view owner(texts[1]);
      const AttributeKeyParts left{{owner, owner, a}}, right{{owner, owner, b}};
      EXPECT_EQ(sign(left.Compare(right)), expected);
    }
  }
}

}  // namespace
}  // namespace qxsoap
