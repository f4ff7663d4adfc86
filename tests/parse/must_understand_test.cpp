// The mustUnderstand check over the header blocks a request brought: what
// it consumes, what it leaves, and the fault of the first block not
// understood, in both SOAP versions.
#include <gtest/gtest.h>

#include "request_test_support.h"
#include "xml/xml_document.h"

namespace qxsoap::testing {
namespace {

std::u16string Remaining(const MessageHandler& handler) {
  std::u16string names;
  LONG position = 0;
  for (const HeaderElemLiteral* block = handler.GetFirstHeaderElemLiteral(position); block;
       block = handler.GetNextHeaderElemLiteral(position)) {
    names += block->name + u";";
  }
  return names;
}

TEST(MustUnderstand, WhatIsConsumedAndWhatFaults) {
  const std::string role = "urn:role:cache";
  const struct {
    const char* why;
    int version;
    std::string blocks;
    bool intermediary;
    bool understood;
    std::u16string remaining;  // literal blocks left, in order
  } rows[] = {
      {"targeted blocks without mustUnderstand are consumed", 11, "<m:a/><m:b/>", false, true, u""},
      {"a targeted mustUnderstand block is not understood; it and later blocks stay", 11,
       "<m:a/><m:b e:mustUnderstand='1'/><m:c/>", false, false, u"b;c;"},
      {"an intermediary leaves blocks without a role alone", 11, "<m:a e:mustUnderstand='1'/>", true,
       true, u"a;"},
      {"an intermediary takes blocks for a role it plays", 11,
       "<m:a e:actor='" + role + "'/><m:b e:actor='" + role + "' e:mustUnderstand='1'/>", true, false,
       u"b;"},
      {"blocks for other roles are left alone", 12, "<m:a e:role='urn:other' e:mustUnderstand='1'/>",
       false, true, u"a;"},
      {"SOAP 1.2: a targeted block to relay stays", 12, "<m:a e:relay='true'/><m:b/>", false, true,
       u"a;"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(EchoPort(row.version));
    if (row.intermediary) exchange.handler.SetNextHopURL(u"http://next.example/");
    exchange.handler.AddRole(std::u16string(role.begin(), role.end()));
    ASSERT_TRUE(exchange.Deserialize(
        Envelope(row.version, "<e:Header>" + row.blocks + "</e:Header>" + Body("<m:echo/>"))));
    exchange.handler.AddHeaderElemLiteral(u"urn:m", u"added", u"<m:added/>", true, u"", u"");
    EXPECT_EQ(exchange.handler.CheckMustUnderstand(), row.understood);
    EXPECT_EQ(Remaining(exchange.handler), row.remaining + u"added;")
        << "a block the host added is never examined";
    EXPECT_EQ(exchange.handler.IsSOAPFault(), !row.understood);
  }
}

TEST(MustUnderstand, TheFaultOfEachVersion) {
  Exchange soap11(EchoPort(11));
  ASSERT_TRUE(soap11.Deserialize(
      Envelope(11, "<e:Header><m:a e:mustUnderstand='1'/></e:Header>" + Body("<m:echo/>"))));
  EXPECT_FALSE(soap11.handler.CheckMustUnderstand());
  EXPECT_EQ(FaultOf(soap11.handler),
            (SeenFault{u"MustUnderstand", u"", u"Unhandled 'mustUnderstand' header block.", false}));
  EXPECT_EQ(soap11.handler.GetNumFaultHeaderElemsLiteral(), 0);

  Exchange soap12(EchoPort(12));
  ASSERT_TRUE(soap12.Deserialize(Envelope(
      12, "<e:Header><m:a e:mustUnderstand='true'/><m:b e:mustUnderstand='1'/></e:Header>" +
              Body("<m:echo/>"))));
  EXPECT_FALSE(soap12.handler.CheckMustUnderstand());
  EXPECT_EQ(FaultOf(soap12.handler),
            (SeenFault{u"MustUnderstand", u"", u"Unhandled 'mustUnderstand' header block.", false}));
  ASSERT_EQ(soap12.handler.GetNumFaultHeaderElemsLiteral(), 1) << "only the first block is named";
  LONG position = 0;
  const HeaderElemLiteral* notUnderstood = soap12.handler.GetFirstFaultHeaderElemLiteral(position);
  EXPECT_EQ(notUnderstood->name, u"NotUnderstood");
  EXPECT_EQ(notUnderstood->namespaceURI, SOAP12_ENV_NS);
  EXPECT_TRUE(notUnderstood->relay);
  const std::unique_ptr<XmlElement> element = ParseFragment(notUnderstood->literalXML.Text());
  ASSERT_NE(element, nullptr);
  std::u16string qname;
  ASSERT_TRUE(element->GetAttribute(u"", u"qname", qname));
  EXPECT_EQ(qname, u"ns:a");
  EXPECT_EQ(*element->Scope().Find(u"ns"), u"urn:m");
  EXPECT_EQ(element->NamespaceUri(), SOAP12_ENV_NS);
}

}  // namespace
}  // namespace qxsoap::testing
