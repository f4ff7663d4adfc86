// Header blocks: their SOAP attributes in both versions, the faults of bad
// values, the encodingStyle they inherit and state, and their order.
#include <gtest/gtest.h>

#include "request_test_support.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {
namespace {

std::string Header(int version, std::string_view attributes, std::string_view blocks = "") {
  std::string header = "<e:Header>";
  header += blocks.empty() ? "<m:b" + std::string(attributes) + ">v</m:b>" : std::string(blocks);
  header += "</e:Header>";
  return Envelope(version, header + Body("<m:echo/>"));
}

TEST(HeaderBlocks, AttributesOfEachVersion) {
  const std::string ultimate = "http://www.w3.org/2003/05/soap-envelope/role/ultimateReceiver";
  const std::string next11 = "http://schemas.xmlsoap.org/soap/actor/next";
  const struct {
    const char* why;
    int version;
    std::string attributes;
    bool mustUnderstand;
    bool relay;
    std::u16string role;
  } rows[] = {
      {"no attributes", 11, "", false, false, u""},
      {"mustUnderstand 1", 11, " e:mustUnderstand='1'", true, false, u""},
      {"mustUnderstand true", 12, " e:mustUnderstand='true'", true, false, u""},
      {"mustUnderstand 0", 11, " e:mustUnderstand='0'", false, false, u""},
      {"mustUnderstand false", 12, " e:mustUnderstand='false'", false, false, u""},
      {"an unprefixed mustUnderstand is no SOAP attribute", 11, " mustUnderstand='1'", false, false,
       u""},
      {"SOAP 1.2 ignores a SOAP 1.1 mustUnderstand", 12,
       " xmlns:o='" + std::string(kEnv11) + "' o:mustUnderstand='1'", false, false, u""},
      {"SOAP 1.1 ignores relay", 11, " e:relay='true'", false, false, u""},
      {"SOAP 1.2 relay true", 12, " e:relay='true'", false, true, u""},
      {"SOAP 1.2 relay 1", 12, " e:relay='1'", false, true, u""},
      {"SOAP 1.1 actor is the role", 11, " e:actor='urn:a'", false, false, u"urn:a"},
      {"SOAP 1.1 reads actor, not role", 11, " e:role='urn:a'", false, false, u""},
      {"SOAP 1.2 reads role, not actor", 12, " e:actor='urn:a'", false, false, u""},
      {"SOAP 1.2 role", 12, " e:role='urn:r'", false, false, u"urn:r"},
      {"the ultimate receiver is stored as no role", 12, " e:role='" + ultimate + "'", false,
       false, u""},
      {"also as a SOAP 1.1 actor", 11, " e:actor='" + ultimate + "'", false, false, u""},
      {"an empty role is told apart from none", 11, " e:actor=''", false, false, u"\"\""},
      {"the next actor stays as it is", 11, " e:actor='" + next11 + "'", false, false,
       u"http://schemas.xmlsoap.org/soap/actor/next"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(Header(row.version, row.attributes));
    ASSERT_FALSE(request.fault) << std::string(request.fault->message.begin(), request.fault->message.end());
    ASSERT_EQ(request.parser.HeaderBlocks().size(), 1u);
    const HeaderBlockHandler& block = *request.parser.HeaderBlocks()[0];
    EXPECT_EQ(block.mustUnderstand, row.mustUnderstand);
    EXPECT_EQ(block.relay, row.relay);
    EXPECT_EQ(block.role, row.role);
    EXPECT_EQ(block.LocalName(), u"b");
    EXPECT_EQ(block.NamespaceUri(), u"urn:m");
  }
}

TEST(HeaderBlocks, InvalidValuesAndNamesAreSenderFaults) {
  const std::u16string badMustUnderstand =
      u"Encountered invalid value for attribute 'mustUnderstand' on header block.";
  const std::u16string badRelay = u"Encountered invalid value for attribute 'relay' on header block.";
  const struct {
    const char* why;
    int version;
    std::string message;
    std::u16string fault;
  } rows[] = {
      {"mustUnderstand in capitals", 11, Header(11, " e:mustUnderstand='TRUE'"), badMustUnderstand},
      {"mustUnderstand empty", 12, Header(12, " e:mustUnderstand=''"), badMustUnderstand},
      {"mustUnderstand with a space", 11, Header(11, " e:mustUnderstand=' 1'"), badMustUnderstand},
      {"relay yes", 12, Header(12, " e:relay='yes'"), badRelay},
      {"a block with no namespace", 11, Header(11, "", "<b/>"),
       u"Encountered SOAP Header Block with unqualified name."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(row.message);
    ASSERT_TRUE(request.fault);
    EXPECT_EQ(request.fault->message, row.fault);
    EXPECT_EQ(request.fault->kind, FaultKind::kSender);
    EXPECT_FALSE(request.fault->needDetail) << "a header block's fault asks for no detail";
    EXPECT_TRUE(request.parser.HeaderBlocks().empty()) << "a failed parse keeps no records";
  }
  ParsedRequest defaulted(Header(11, "", "<b xmlns='urn:d'/>"));
  EXPECT_FALSE(defaulted.fault) << "a default namespace qualifies the block's name";
}

TEST(HeaderBlocks, EncodingStyleIsInheritedAndStatedUnderSoap11Only) {
  const std::string style = " e:encodingStyle='urn:style'";
  const struct {
    const char* why;
    int version;
    std::string message;
    std::u16string encodingStyle;
    bool stated;  // the block's element gains SOAP-ENV:encodingStyle
  } rows[] = {
      {"SOAP 1.1: the Envelope's style reaches the block, which states it", 11,
       Envelope(11, "<e:Header><m:b/></e:Header>" + Body(""), style), u"urn:style", true},
      {"SOAP 1.1: the Header's style overrides the Envelope's", 11,
       Envelope(11, "<e:Header e:encodingStyle='urn:h'><m:b/></e:Header>" + Body(""), style),
       u"urn:h", true},
      {"SOAP 1.1: the block's own style wins and is not stated twice", 11,
       Envelope(11, "<e:Header><m:b e:encodingStyle='urn:own'/></e:Header>" + Body(""), style),
       u"urn:own", false},
      {"SOAP 1.2: only the block's own style counts", 12,
       Envelope(12, "<e:Header><m:b/></e:Header>" + Body("")), u"", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(row.message);
    ASSERT_FALSE(request.fault);
    const HeaderBlockHandler& block = *request.parser.HeaderBlocks()[0];
    EXPECT_EQ(block.encodingStyle, row.encodingStyle);
    std::u16string written;
    WriteElement(*block.element, nullptr, written);
    EXPECT_EQ(written.find(u"SOAP-ENV:encodingStyle=\"" + row.encodingStyle + u"\"") !=
                  std::u16string::npos,
              row.stated)
        << std::string(written.begin(), written.end());
  }
}

TEST(HeaderBlocks, KeptInDocumentOrderAcrossHeaders) {
  ParsedRequest request(Envelope(
      11, "<e:Header><m:one/><m:two/></e:Header>" + Body("") + "<e:Header><m:three/></e:Header>"));
  ASSERT_FALSE(request.fault);
  std::u16string names;
  for (const HeaderBlockHandler* block : request.parser.HeaderBlocks()) {
    names += std::u16string(block->LocalName()) + u";";
  }
  EXPECT_EQ(names, u"one;two;three;");
}

}  // namespace
}  // namespace qxsoap::testing
