// Namespace resolution, attribute keys, tree building for output, fragments
// and the namespace classification functions.
#include <gtest/gtest.h>

#include "xml/namespaces.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::ParseErrorLine;
using testing::Written;

std::unique_ptr<XmlElement> Parsed(std::string_view bytes) {
  XmlDocument document;
  if (ParseErrorLine(document, bytes)) return nullptr;
  return document.DetachRoot();
}

TEST(Namespaces, DefaultNamespaceReachesElementsButNotAttributes) {
  auto a = Parsed("<a xmlns=\"u\"><b id=\"1\"/></a>");
  ASSERT_TRUE(a);
  const XmlElement& b = *a->Children()[0];
  EXPECT_EQ(a->namespaceUri, u"u");
  EXPECT_EQ(b.namespaceUri, u"u");
  EXPECT_EQ(b.localName, u"b");
  const XmlAttribute* id = b.FindAttribute(u"ubid");
  ASSERT_NE(id, nullptr) << "filed under element namespace, element name, attribute name";
  EXPECT_EQ(id->namespaceUri, u"");
  EXPECT_EQ(id->ownerNamespaceUri, u"u");
  EXPECT_EQ(id->ownerLocalName, u"b");
  EXPECT_EQ(id->value, u"1");
}

TEST(Namespaces, PrefixedNamesAndTheCompleteScope) {
  auto a = Parsed("<p:a xmlns:p=\"u\" xmlns:q=\"v\"><q:b xmlns:p=\"w\" p:x=\"1\"/></p:a>");
  ASSERT_TRUE(a);
  const XmlElement& b = *a->Children()[0];
  EXPECT_EQ(a->namespaceUri, u"u");
  EXPECT_EQ(a->localName, u"a");
  EXPECT_EQ(b.namespaceUri, u"v");
  EXPECT_EQ(b.Attributes().begin()->first, u"wx") << "the nearer declaration wins";
  const NamespaceMap expected = {{u"p", u"w"}, {u"q", u"v"}, {u"xml", std::u16string(XML_NS)}};
  EXPECT_EQ(b.Scope().ToMap(), expected) << "inherited bindings are part of the scope";
  EXPECT_EQ(*a->Scope().Find(u"p"), u"u") << "the parent's scope is unchanged";
}

TEST(Namespaces, DeclarationsAreNotAttributes) {
  auto a = Parsed("<a xmlns=\"u\" xmlns:p=\"v\" x=\"1\"/>");
  ASSERT_TRUE(a);
  ASSERT_EQ(a->Attributes().size(), 1u);
  EXPECT_EQ(a->Attributes().begin()->second.qualifiedName, u"x");
  EXPECT_EQ(a->DefaultNamespace(), u"u");
}

TEST(Namespaces, EmptyValueAndRebindingXml) {
  auto a = Parsed("<a xmlns=\"u\"><b xmlns=\"\" xmlns:xml=\"z\" xml:x=\"1\"/></a>");
  ASSERT_TRUE(a);
  const XmlElement& b = *a->Children()[0];
  EXPECT_EQ(b.namespaceUri, u"") << "xmlns=\"\" undeclares the default namespace";
  EXPECT_NE(b.FindAttribute(u"zx"), nullptr) << "no prefix is reserved, xml included";
}

TEST(Namespaces, ColonInFirstPlaceIsPartOfALocalName) {
  auto a = Parsed("<:a xmlns=\"u\"/>");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->namespaceUri, u"u");
  EXPECT_EQ(a->localName, u":a");
}

struct FailureRow {
  const char* why;
  const char* document;
};

const FailureRow kFailureRows[] = {
    {"undeclared element prefix", "<p:a/>"},
    {"undeclared attribute prefix", "<a p:x=\"1\"/>"},
    {"attribute with an empty prefix", "<a :x=\"1\"/>"},
    {"second colon in an element name", "<p:a:b xmlns:p=\"u\"/>"},
    {"second colon in an attribute name", "<a p:x:y=\"1\" xmlns:p=\"u\"/>"},
    {"two prefixes for one URI give one key",
     "<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>"},
    {"a prefix declared on a sibling is out of scope", "<a><b xmlns:p=\"u\"/><p:c/></a>"},
    {"fuzz: xmlns: declares no prefix; written back it would be a default namespace",
     "<a xml:ns=\"m\" xmlns:=\"svn,\" p=\"w.w3.\"/>"},
};

TEST(Namespaces, ResolutionFailuresAreParseErrors) {
  for (const FailureRow& row : kFailureRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(ParseErrorLine(row.document), 1);
  }
}

TEST(AttributeKeys, GetAttributeBuildsTheKeyOfEitherForm) {
  auto item = Parsed(
      "<m:item xmlns:m=\"u\" xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\" id=\"7\" "
      "e:encodingStyle=\"enc\"/>");
  ASSERT_TRUE(item);
  std::u16string value = u"unchanged";
  EXPECT_TRUE(item->GetAttribute(u"", u"id", value));
  EXPECT_EQ(value, u"7");
  EXPECT_TRUE(item->GetAttribute(SOAP12_ENV_NS, u"encodingStyle", value))
      << "found whatever prefix bound the namespace";
  EXPECT_EQ(value, u"enc");
  value = u"unchanged";
  EXPECT_FALSE(item->GetAttribute(u"", u"encodingStyle", value));
  EXPECT_FALSE(item->GetAttribute(u"u", u"id", value))
      << "unprefixed is not in the element's namespace";
  EXPECT_EQ(value, u"unchanged");
  EXPECT_EQ(AttributeKey(u"u", u"item", u"id"), u"uitemid");
}

TEST(TreeBuilding, AddAttributeAndDeclareNamespaceRefuseClashes) {
  XmlElement element(u"e");
  EXPECT_TRUE(element.AddAttribute(u"x", u"1"));
  EXPECT_FALSE(element.AddAttribute(u"x", u"2"));
  EXPECT_EQ(element.FindAttribute(u"x")->value, u"1");
  EXPECT_TRUE(element.DeclareNamespace(u"nss", u"first"));
  EXPECT_FALSE(element.DeclareNamespace(u"nss", u"second")) << "the first binding wins";
  EXPECT_EQ(*element.Scope().Find(u"nss"), u"first");
  element.AppendChild(nullptr);
  EXPECT_TRUE(element.Children().empty());
}

TEST(TreeBuilding, SetQualifiedAttributeFilesOrDropsSilently) {
  XmlElement element(u"h:block", u"urn:h", u"block");
  element.DeclareNamespace(u"h", u"urn:h");
  element.SetQualifiedAttribute(u"SOAP-ENV:encodingStyle", SOAP11_ENV_NS, u"enc");
  element.SetQualifiedAttribute(u"id", u"ignored", u"1");
  element.SetQualifiedAttribute(u"h:x", u"urn:other", u"dropped: h is bound elsewhere");
  element.SetQualifiedAttribute(u":x", u"urn:h", u"dropped: empty prefix");
  element.SetQualifiedAttribute(u"h:x:y", u"urn:h", u"dropped: second colon");
  element.SetQualifiedAttribute(u"id", u"", u"dropped: key taken");

  std::u16string value;
  EXPECT_TRUE(element.GetAttribute(SOAP11_ENV_NS, u"encodingStyle", value));
  EXPECT_EQ(value, u"enc");
  EXPECT_EQ(*element.Scope().Find(u"SOAP-ENV"), SOAP11_ENV_NS) << "declared so it is written";
  EXPECT_TRUE(element.GetAttribute(u"", u"id", value));
  EXPECT_EQ(value, u"1");
  EXPECT_EQ(element.FindAttribute(u"urn:hblockid")->ownerNamespaceUri, u"urn:h");
  EXPECT_EQ(element.Attributes().size(), 2u);
}

TEST(TreeBuilding, SetQualifiedAttributeOnAParsedElementLeavesItsChildrenAlone) {
  auto a = Parsed("<a><b/></a>");
  ASSERT_TRUE(a);
  a->SetQualifiedAttribute(u"p:x", u"urn:p", u"1");
  EXPECT_EQ(Written(*a), u"<a p:x=\"1\" xmlns:p=\"urn:p\"><b /></a>");
  EXPECT_FALSE(a->Children()[0]->Scope().Contains(u"p"));
}

TEST(TreeBuilding, LongChainsOfDeclarationsKeepEveryBinding) {
  XmlElement element(u"e");
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(element.DeclareNamespace(u"p" + std::u16string(1, char16_t(u'A' + i)), u"u"));
  }
  EXPECT_EQ(element.Scope().ToMap().size(), 40u);
  EXPECT_TRUE(element.Scope().Contains(u"pA"));
  EXPECT_FALSE(element.DeclareNamespace(u"pA", u"v"));
}

TEST(Fragments, ParseFragmentReturnsTheRootOrNothing) {
  auto good = ParseFragment(u"<p:v xmlns:p=\"urn:p\">1</p:v>");
  ASSERT_TRUE(good);
  EXPECT_EQ(good->namespaceUri, u"urn:p");
  EXPECT_EQ(good->text, u"1");
  EXPECT_EQ(ParseFragment(u"<v>1</w>"), nullptr) << "not well-formed";
  EXPECT_EQ(ParseFragment(u"<p:v>1</p:v>"), nullptr) << "prefixes must be declared inside";
  EXPECT_EQ(ParseFragment(u""), nullptr);
}

TEST(Names, NameEqualityComparesUriAndLocalNameRunTogether) {
  const XmlName a(u"p:x", u"urn:u", u"x"), b(u"q:x", u"urn:u", u"x"), c(u"x", u"urn:", u"ux");
  EXPECT_TRUE(a.NameEquals(b)) << "prefixes do not matter";
  EXPECT_TRUE(a.NameEquals(c)) << "the parts are compared as one string";
  EXPECT_FALSE(a.NameEquals(XmlName(u"y", u"urn:u", u"y")));
}

TEST(Classification, SchemaAndEncodingNamespaces) {
  EXPECT_TRUE(IsSchemaNamespace(XSD2001_NS));
  EXPECT_TRUE(IsSchemaNamespace(XSD1999_NS));
  EXPECT_TRUE(IsSchemaNamespace(XSD2000_NS));
  EXPECT_FALSE(IsSchemaNamespace(XSI2001_NS));
  EXPECT_FALSE(IsSchemaNamespace(u"http://www.w3.org/2001/XMLSchema/")) << "exact comparison";
  EXPECT_EQ(SchemaInstanceNamespaceFor(XSD2001_NS), XSI2001_NS);
  EXPECT_EQ(SchemaInstanceNamespaceFor(XSD1999_NS), XSI1999_NS);
  EXPECT_EQ(SchemaInstanceNamespaceFor(XSD2000_NS), XSI2000_NS);
  EXPECT_EQ(SchemaInstanceNamespaceFor(SOAP11_ENC_NS), std::nullopt);
  EXPECT_TRUE(IsSoapEncodingNamespace(SOAP11_ENC_NS));
  EXPECT_TRUE(IsSoapEncodingNamespace(SOAP12_ENC_NS));
  EXPECT_FALSE(IsSoapEncodingNamespace(SOAP12_ENV_NS));
}

}  // namespace
}  // namespace qxsoap
