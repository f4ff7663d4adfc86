// Namespace resolution, attribute keys and tree building for output.
#include <gtest/gtest.h>

#include "xml/namespaces.h"
#include "xml/same_text.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::Written;

// Every attribute key of `element`, in key order, each followed by ';'.
std::u16string Keys(const XmlElement& element) {
  std::u16string keys;
  for (const XmlAttribute& attribute : element.Attributes()) keys += attribute.KeyText() + u";";
  return keys;
}

// How the root's first child (or the root) is resolved.
TEST(Namespaces, ResolvedNamesAndAttributeKeys) {
  const struct {
    const char* why;
    const char16_t* document;
    std::u16string_view namespaceUri, localName, keys;
  } rows[] = {
      {"the default namespace reaches elements; unprefixed attributes are filed under the "
       "element's namespace and name",
       u"<a xmlns=\"u\"><b id=\"1\"/></a>", u"u", u"b", u"ubid;"},
      {"prefixed names; the nearer declaration wins",
       u"<p:a xmlns:p=\"u\" xmlns:q=\"v\"><q:b xmlns:p=\"w\" p:x=\"1\"/></p:a>", u"v", u"b",
       u"wx;"},
      {"declarations are not attributes", u"<a xmlns=\"u\" xmlns:p=\"v\" x=\"1\"/>", u"u", u"a",
       u"uax;"},
      {"xmlns=\"\" undeclares the default namespace; no prefix is reserved, xml included",
       u"<a xmlns=\"u\"><b xmlns=\"\" xmlns:xml=\"z\" xml:x=\"1\"/></a>", u"", u"b", u"zx;"},
      {"a colon in first place is part of a local name", u"<:a xmlns=\"u\"/>", u"u", u":a", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    auto root = ParseFragment(row.document);
    ASSERT_TRUE(root);
    const XmlElement& element = root->Children().empty() ? *root : root->Children().front();
    EXPECT_EQ(element.NamespaceUri(), row.namespaceUri);
    EXPECT_EQ(element.LocalName(), row.localName);
    EXPECT_EQ(Keys(element), row.keys);
  }
}

TEST(TreeBuilding, AttributesAreFiledReadOrDroppedSilently) {
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

  std::u16string value = u"unchanged";
  EXPECT_FALSE(element.GetAttribute(u"", u"encodingStyle", value));
  EXPECT_FALSE(element.GetAttribute(u"urn:h", u"id", value)) << "unprefixed is not namespaced";
  EXPECT_EQ(value, u"unchanged");
  EXPECT_TRUE(element.GetAttribute(u"", u"id", value));
  EXPECT_EQ(value, u"1");
  EXPECT_TRUE(element.GetAttribute(SOAP11_ENV_NS, u"encodingStyle", value));
  EXPECT_EQ(value, u"enc");
}

// Parsed elements share their name and scope with their siblings of the
// same name, and their attribute arrays are sized to what was read: an
// edit of one must grow its own array and leave the siblings as they were.
TEST(TreeBuilding, EditsOfAParsedElementLeaveItsSiblingsAlone) {
  auto root = ParseFragment(u"<r xmlns:p=\"u\"><i c=\"1\" b=\"2\" a=\"3\"/><i/></r>");
  ASSERT_TRUE(root);
  XmlElement& first = root->Children().front();
  for (char16_t c = u'z'; c > u'j'; --c) ASSERT_TRUE(first.AddAttribute({&c, 1}, u"v"));
  EXPECT_TRUE(first.DeclareNamespace(u"q", u"w"));
  first.SetQualifiedAttribute(u"p:x", u"u", u"4");
  EXPECT_EQ(Keys(first), u"ia;ib;ic;k;l;m;n;o;p;q;r;s;t;u;ux;v;w;x;y;z;");
  EXPECT_EQ(Written(*root),
            u"<r xmlns:p=\"u\"><i a=\"3\" b=\"2\" c=\"1\" k=\"v\" l=\"v\" m=\"v\" n=\"v\" "
            u"o=\"v\" p=\"v\" q=\"v\" r=\"v\" s=\"v\" t=\"v\" u=\"v\" p:x=\"4\" v=\"v\" w=\"v\" "
            u"x=\"v\" y=\"v\" z=\"v\" xmlns:q=\"w\" /><i /></r>");
}

// Elements made like a model share what never changes and may share a
// full attribute array: attributes added to a copy or to the model later,
// whether the model's array is full (one attribute) or has room (three),
// stay with the element they were added to.
TEST(TreeBuilding, CopiesOfAModelTakeTheirOwnLaterAttributes) {
  for (const int modelAttributes : {1, 3}) {
    SCOPED_TRACE(modelAttributes);
    auto root = XmlElement::NewTree(u"r");
    XmlElement& model = root->AddChild(u"p:i", u"u", u"i");
    model.DeclareNamespace(u"p", u"u");
    for (int i = 0; i < modelAttributes; ++i) model.AddAttribute(std::u16string(1, u'a' + i), u"m");
    XmlElement& copy = root->AddChildLike(model);
    XmlElement& other = root->AddChildLike(model);
    copy.SetText(u"copy");
    EXPECT_TRUE(copy.AddAttribute(u"x", u"copy"));
    EXPECT_TRUE(model.AddAttribute(u"y", u"model"));
    const std::u16string given = modelAttributes == 1 ? u"a=\"m\"" : u"a=\"m\" b=\"m\" c=\"m\"";
    EXPECT_EQ(Written(*root), u"<r><p:i " + given + u" y=\"model\" xmlns:p=\"u\" />"
                              u"<p:i " + given + u" x=\"copy\" xmlns:p=\"u\">copy</p:i>"
                              u"<p:i " + given + u" xmlns:p=\"u\" /></r>");
    EXPECT_EQ(other.Attributes().size(), size_t(modelAttributes));
  }
}

// A built element keeps its declarations in one frame, in prefix order
// however they arrive: each prefix finds its own URI, and the writer
// declares them all once, in prefix order.
TEST(TreeBuilding, ManyDeclarationsInAnyOrderKeepEveryBinding) {
  auto element = XmlElement::NewTree(u"e");
  for (int i = 0; i < 40; ++i) {
    const char16_t unit = char16_t(u'A' + i * 7 % 40);
    ASSERT_TRUE(element->DeclareNamespace(std::u16string{u'p', unit}, std::u16string{u'u', unit}));
  }
  EXPECT_FALSE(element->DeclareNamespace(u"pA", u"v"));
  std::u16string expected = u"<e";
  for (char16_t c = u'A'; c < u'A' + 40; ++c) {
    const std::u16string_view* bound = element->Scope().Find(std::u16string{u'p', c});
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(*bound, (std::u16string{u'u', c}));
    expected += std::u16string(u" xmlns:p") + c + u"=\"u" + c + u"\"";
  }
  EXPECT_EQ(Written(*element), expected + u" />");
}

TEST(SameText, ComparesUnitsWhereverTheyLive) {
  const std::u16string uri(XSI2001_NS);
  EXPECT_TRUE(SameText({}, u"")) << "an empty view without storage";
  EXPECT_TRUE(SameText(XSI2001_NS, uri));
  EXPECT_FALSE(SameText(XSI2001_NS, XSI1999_NS)) << "one length, apart in the middle";
  EXPECT_FALSE(SameText(u"urn:a", u"urn:ab"));
  EXPECT_FALSE(SameText({}, u"x"));
  EXPECT_TRUE(IsText(uri.substr(33), u"instance"));
  EXPECT_FALSE(IsText(u"typf", u"type"));
  EXPECT_FALSE(IsText(u"types", u"type"));
  EXPECT_FALSE(IsText({}, u"type"));
  EXPECT_TRUE(StartsWithText(uri, XSI2001_NS.substr(0, 10)));
  EXPECT_FALSE(StartsWithText(XSI2001_NS.substr(0, 10), uri));
}

// Short texts are compared in words that overlap: a difference in any unit
// of any length must still show, in either byte of the unit.
TEST(SameText, SeesADifferenceInEveryUnitOfShortTexts) {
  for (size_t length = 1; length <= 12; ++length) {
    const std::u16string text = std::u16string(u"abcdefghijkl").substr(0, length);
    EXPECT_TRUE(SameText(text, std::u16string(text))) << length;
    for (size_t at = 0; at < length; ++at) {
      for (const char16_t flip : {u'\x0001', u'\x0100'}) {
        std::u16string other = text;
        other[at] ^= flip;
        EXPECT_FALSE(SameText(text, other)) << "length " << length << ", unit " << at;
      }
    }
  }
}

// Keys order as their concatenated texts do, unit by unit (so U+0100 after
// U+00FF and U+FF00 after U+D800), wherever the parts split and whether or
// not they share storage.
TEST(AttributeKeys, OrderAsTheirConcatenatedTexts) {
  const std::u16string texts[] = {
      u"",
      u"http://schemas.xmlsoap.org/soap/envelope/encodingStyle",
      u"http://schemas.xmlsoap.org/soap/envelope/encodingStylf",
      u"http://schemas.xmlsoap.org/soap/encoding/root",
      u"abc\u0100d",
      u"abc\u00FFd",
      std::u16string(u"abc") + char16_t(0xD800),
      u"abc\uFF00",
      u"abcd",
  };
  const auto sign = [](int order) { return (order > 0) - (order < 0); };
  const std::u16string_view owner(texts[1]);
  for (const std::u16string_view a : texts) {
    for (const std::u16string_view b : texts) {
      const int expected = sign(a.compare(b));
      const size_t half = b.size() / 2;
      const AttributeKeyParts whole{{b, {}, {}}}, halves{{b.substr(0, half), b.substr(half), {}}};
      // Every split of `a` into three parts against `b` whole and in two.
      for (size_t i = 0; i <= a.size(); ++i) {
        for (size_t j = i; j <= a.size(); ++j) {
          const AttributeKeyParts split{{a.substr(0, i), a.substr(i, j - i), a.substr(j)}};
          ASSERT_EQ(sign(split.Compare(whole)), expected) << i << ' ' << j;
          ASSERT_EQ(sign(whole.Compare(split)), -expected) << i << ' ' << j;
          ASSERT_EQ(sign(split.Compare(halves)), expected) << i << ' ' << j;
        }
      }
      // Keys sharing their first two parts compare by the third alone.
      EXPECT_EQ(sign(AttributeKeyParts{{owner, owner, a}}.Compare({{owner, owner, b}})), expected);
    }
  }
}

}  // namespace
}  // namespace qxsoap
