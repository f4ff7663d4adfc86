// The records a request parse keeps: accessors with their encoding
// attributes and the faults of bad ones, ids and references, the Body's
// choice of the method wrapper, and header blocks with their SOAP
// attributes, encodingStyle and order.
#include <gtest/gtest.h>

#include "request_test_support.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {
namespace {

TEST(Accessors, AttributesAndTheirFaults) {
  const std::u16string undeclaredType = u"Encountered undeclared namespace prefix for attribute 'type' on element.";
  const std::u16string badOffset = u"Invalid value for attribute 'offset' or 'arrayType' on element.";
  const std::u16string innermost =
      u"Value of attribute 'arrayType' on element is invalid, size may be unspecified for innermost "
      u"dimension only.";
  const struct {
    const char* why;
    int version;
    std::string accessor;  // inside <m:echo>
    std::u16string fault;  // empty: the parse passes
  } rows[] = {
      {"a type with an undeclared prefix", 11, "<a xsi:type='q:int'/>", undeclaredType},
      {"a type with no colon and no default namespace", 11, "<a xsi:type='int'/>",
       u"Encountered unresolvable namespace for attribute 'type' on element."},
      {"a 1999 type is read when no 2001 one is there", 11,
       "<a xmlns:x9='http://www.w3.org/1999/XMLSchema-instance' x9:type='q:int'/>", undeclaredType},
      {"one prefix bound to two namespaces: each element reads its own binding", 11,
       "<a xmlns:x='urn:other' x:type='q:int'/>"
       "<b xmlns:x='http://www.w3.org/2001/XMLSchema-instance' x:type='q:int'/>", undeclaredType},
      {"a type prefix declared on a sibling only", 11, "<a xmlns:q='urn:q' xsi:type='q:int'/><b xsi:type='q:int'/>",
       undeclaredType},
      {"an arrayType with an undeclared prefix", 11, "<a enc:arrayType='q:int[2]'/>",
       u"Encountered undeclared namespace prefix for attribute 'arrayType' on element."},
      {"an arrayType without a size", 11, "<a enc:arrayType='xsd:int'/>",
       u"Value of attribute 'arrayType' on element doesn't have size given."},
      {"an arrayType with an inner size missing", 11, "<a enc:arrayType='xsd:int[2,]'/>", innermost},
      {"an offset that does not fit the dimensions", 11,
       "<a enc:arrayType='xsd:int[2,3]' enc:offset='[1]'/>", badOffset},
      {"an offset past the size", 11, "<a enc:arrayType='xsd:int[2]' enc:offset='[3]'/>", badOffset},
      {"an offset of an inner dimension", 11, "<a enc:arrayType='xsd:int[2,3]' enc:offset='[0,1]'/>",
       badOffset},
      {"an offset without a bracket", 11, "<a enc:arrayType='xsd:int[2]' enc:offset='1'/>", badOffset},
      {"sizes whose product passes 32 bits", 11, "<a enc:arrayType='xsd:int[65536,65536]'/>",
       u"Value of attribute 'arrayType' on element gives too many items."},
      {"SOAP 1.2: id beside ref", 12, "<a enc:id='x' enc:ref='y'/>",
       u"Encountered  attributes 'type' and 'id' on same element."},
      {"SOAP 1.2: nodeType compared with case", 12, "<a enc:nodeType='Struct'/>",
       u"Encountered invalid value for attribute 'nodeType' on accessor element."},
      {"SOAP 1.2: an itemType with no default namespace", 12, "<a enc:itemType='int'/>",
       u"Encountered unresolvable namespace for attribute 'itemType' on element."},
      {"SOAP 1.2: an inner size not given", 12, "<a enc:arraySize='2 *'/>", innermost},
      {"SOAP 1.2: two elements with one id", 12, "<a><b enc:id='x'/><c enc:id='x'/></a>",
       u"Id value found on accessor element is a duplicate."},
      // Attributes that pass:
      {"a type in the default namespace", 11, "<a xmlns='urn:d' xsi:type='T'/>", u""},
      {"a 2001 type wins over a 1999 one that would not resolve", 11,
       "<a xmlns:x9='http://www.w3.org/1999/XMLSchema-instance' x9:type='q:x' xsi:type='xsd:int'/>", u""},
      {"SOAP 1.1 ignores SOAP 1.2 attributes", 11,
       "<a xmlns:n='" + std::string(kEnc12) + "' n:nodeType='bad' n:itemType='x'/>", u""},
      {"SOAP 1.2 ignores SOAP 1.1 attributes", 12,
       "<a xmlns:o='" + std::string(kEnc11) + "' o:arrayType='x' o:offset='bad'/>", u""},
      {"a prefix rebound below is no schema instance there", 11,
       "<a xsi:type='xsd:int'/><b xmlns:xsi='urn:other' xsi:type='q:int'/>", u""},
      {"nested arrays and a first size not given", 11, "<a enc:arrayType='xsd:int[][3]'/>", u""},
      {"an offset on an element that refers to its array is checked alone", 11,
       "<a href='#x' enc:offset='[5]'/>", u""},
      {"SOAP 1.2: a first size not given", 12, "<a enc:arraySize='* 3' enc:itemType='xsd:int'/>", u""},
      {"SOAP 1.2: the three nodeTypes", 12,
       "<a enc:nodeType='simple'/><b enc:nodeType='struct'/><c enc:nodeType='array'/>", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(Envelope(row.version, Body("<m:echo>" + row.accessor + "</m:echo>")));
    if (row.fault.empty()) {
      EXPECT_FALSE(request.fault) << Narrow(request.fault->message);
      continue;
    }
    ASSERT_TRUE(request.fault);
    EXPECT_EQ(request.fault->message, row.fault);
    EXPECT_EQ(request.fault->kind, FaultKind::kSender);
    EXPECT_TRUE(request.fault->needDetail) << "a fault in the Body asks for a detail element";
    EXPECT_EQ(request.parser.RpcWrapper(), nullptr) << "a failed parse keeps no records";
  }
}

TEST(Accessors, ReferencesResolveForwardBackwardAndIntoTheHeader) {
  ParsedRequest request(Envelope(
      11, "<e:Header><m:h id='head'>in header</m:h><m:h id='x'>header</m:h></e:Header>" +
              Body("<m:first id='early' enc:root='0'>before</m:first>"
                   "<m:echo id='w'><a href='#late'/><b href='#early'/><c href='#head'/></m:echo>"
                   "<m:multi id='late'>after<inner id='deep'>d</inner></m:multi>"
                   "<m:multi id='late'>second with the same id</m:multi><m:v id='x'>body</m:v>")));
  ASSERT_FALSE(request.fault);
  const struct {
    std::u16string_view href;
    std::u16string_view text;  // of the record found; empty: none
  } rows[] = {
      {u"#late", u"after"}, {u"late", u"after"}, {u"#early", u"before"}, {u"#head", u"in header"},
      {u"#deep", u"d"},     {u"#nowhere", u""},  {u"#", u""},
      {u"#x", u"body"},  // Body ids are searched before Header ids
      {u"w", u""},       // the wrapper's id names nothing
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.href));
    const AccessorHandler* found = request.parser.ResolveReference(row.href);
    EXPECT_EQ(found ? found->Text() : u"", row.text);
  }
  EXPECT_EQ(request.parser.RpcWrapper()->LocalName(), u"echo") << "root='0' makes the next child the wrapper";
}

TEST(Accessors, RepeatedIdsAmongBlocksAndIndependentsKeepTheFirst) {
  ParsedRequest blocks(Envelope(11, "<e:Header><m:a id='x'>1</m:a><m:b id='x'>2</m:b></e:Header>" + Body("<m:echo/>")));
  ASSERT_FALSE(blocks.fault);
  EXPECT_EQ(blocks.parser.ResolveReference(u"x")->Text(), u"1");
  ParsedRequest nested(Envelope(11, "<e:Header><m:a><i id='x'/><j id='x'/></m:a></e:Header>" + Body("")));
  ASSERT_TRUE(nested.fault) << "ids nested in a block are checked";
  EXPECT_FALSE(nested.fault->needDetail);
  EXPECT_TRUE(nested.fault->subcode.empty()) << "SOAP 1.1 has no subcode";
  ParsedRequest nested12(Envelope(12, Body("<m:echo><i enc:id='x'/><j enc:id='x'/></m:echo>")));
  ASSERT_TRUE(nested12.fault);
  EXPECT_EQ(nested12.fault->subcode, u"DuplicateID");
  EXPECT_EQ(nested12.fault->subcodeNS, SOAP12_ENC_NS);
}

TEST(Accessors, TheMethodWrapper) {
  const struct {
    const char* why;
    int version;
    std::string body;
    std::u16string wrapper;  // empty: none
  } rows[] = {
      {"SOAP 1.1: the first child", 11, "<m:echo/><m:other/>", u"echo"},
      {"SOAP 1.1: root 'false' is not '0'", 11, "<m:dep enc:root='false'/><m:echo/>", u"dep"},
      {"SOAP 1.1: only independent elements, no wrapper", 11, "<m:dep enc:root='0'/>", u""},
      {"SOAP 1.2: the first child", 12, "<m:echo/><m:other/>", u"echo"},
      {"an empty Body", 11, "", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(Envelope(row.version, Body(row.body)));
    ASSERT_FALSE(request.fault);
    const AccessorHandler* wrapper = request.parser.RpcWrapper();
    EXPECT_EQ(wrapper ? wrapper->LocalName() : u"", row.wrapper);
  }
  ParsedRequest later12(Envelope(12, Body("<m:echo/><m:v enc:id='x'/>")));
  EXPECT_EQ(later12.parser.ResolveReference(u"x"), nullptr)
      << "SOAP 1.2: children after the wrapper are not read";
}

std::string Header(int version, std::string_view attributes, std::string_view blocks = "") {
  return Envelope(version, "<e:Header>" +
                               (blocks.empty() ? "<m:b" + std::string(attributes) + ">v</m:b>" : std::string(blocks)) +
                               "</e:Header>" + Body("<m:echo/>"));
}

TEST(HeaderBlocks, AttributesOfEachVersion) {
  const std::string ultimate = "http://www.w3.org/2003/05/soap-envelope/role/ultimateReceiver";
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
      {"an unprefixed mustUnderstand is no SOAP attribute", 11, " mustUnderstand='1'", false, false, u""},
      {"SOAP 1.2 ignores a SOAP 1.1 mustUnderstand", 12,
       " xmlns:o='" + std::string(kEnv11) + "' o:mustUnderstand='1'", false, false, u""},
      {"SOAP 1.1 ignores relay", 11, " e:relay='true'", false, false, u""},
      {"SOAP 1.2 relay 1", 12, " e:relay='1'", false, true, u""},
      {"SOAP 1.1 actor is the role", 11, " e:actor='urn:a'", false, false, u"urn:a"},
      {"SOAP 1.1 reads actor, not role", 11, " e:role='urn:a'", false, false, u""},
      {"SOAP 1.2 reads role, not actor", 12, " e:actor='urn:a'", false, false, u""},
      {"SOAP 1.2 role", 12, " e:role='urn:r'", false, false, u"urn:r"},
      {"the ultimate receiver is stored as no role", 12, " e:role='" + ultimate + "'", false, false, u""},
      {"also as a SOAP 1.1 actor", 11, " e:actor='" + ultimate + "'", false, false, u""},
      {"an empty role is told apart from none", 11, " e:actor=''", false, false, u"\"\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(Header(row.version, row.attributes));
    ASSERT_FALSE(request.fault) << Narrow(request.fault->message);
    ASSERT_EQ(request.parser.HeaderBlocks().size(), 1u);
    const HeaderBlockHandler& block = *request.parser.HeaderBlocks()[0];
    EXPECT_EQ(block.mustUnderstand, row.mustUnderstand);
    EXPECT_EQ(block.relay, row.relay);
    EXPECT_EQ(block.role, row.role);
    EXPECT_EQ(block.NamespaceUri(), u"urn:m");
  }
}

TEST(HeaderBlocks, InvalidValuesAndNamesAreSenderFaults) {
  const std::u16string badMustUnderstand =
      u"Encountered invalid value for attribute 'mustUnderstand' on header block.";
  const struct {
    const char* why;
    std::string message;
    std::u16string fault;
  } rows[] = {
      {"mustUnderstand in capitals", Header(11, " e:mustUnderstand='TRUE'"), badMustUnderstand},
      {"mustUnderstand empty", Header(12, " e:mustUnderstand=''"), badMustUnderstand},
      {"mustUnderstand with a space", Header(11, " e:mustUnderstand=' 1'"), badMustUnderstand},
      {"relay yes", Header(12, " e:relay='yes'"),
       u"Encountered invalid value for attribute 'relay' on header block."},
      {"a block with no namespace", Header(11, "", "<b/>"),
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
    std::string header;
    std::u16string encodingStyle;
    bool stated;  // the block's element gains SOAP-ENV:encodingStyle
  } rows[] = {
      {"SOAP 1.1: the Envelope's style reaches the block, which states it", 11,
       "<e:Header><m:b/></e:Header>", u"urn:style", true},
      {"SOAP 1.1: the Header's style overrides the Envelope's", 11,
       "<e:Header e:encodingStyle='urn:h'><m:b/></e:Header>", u"urn:h", true},
      {"SOAP 1.1: the block's own style wins and is not stated twice", 11,
       "<e:Header><m:b e:encodingStyle='urn:own'/></e:Header>", u"urn:own", false},
      {"SOAP 1.2: only the block's own style counts", 12, "<e:Header><m:b/></e:Header>", u"", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(Envelope(row.version, row.header + Body(""), row.version == 11 ? style : ""));
    ASSERT_FALSE(request.fault);
    const HeaderBlockHandler& block = *request.parser.HeaderBlocks()[0];
    EXPECT_EQ(block.encodingStyle, row.encodingStyle);
    std::u16string written;
    WriteElement(*block.element, nullptr, written);
    EXPECT_EQ(written.find(u"SOAP-ENV:encodingStyle=\"" + row.encodingStyle + u"\"") != std::u16string::npos,
              row.stated)
        << Narrow(written);
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
