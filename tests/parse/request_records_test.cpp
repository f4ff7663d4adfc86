// The records a request parse keeps: accessors with their encoding
// attributes and the faults of bad ones, ids and references, the Body's
// choice of the method wrapper, and header blocks with their SOAP
// attributes and encodingStyle.
#include <gtest/gtest.h>

#include "request_test_support.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {
namespace {

TEST(Accessors, AttributesAndTheirFaults) {
  const std::u16string undeclaredType = u"Encountered undeclared namespace prefix for attribute 'type' on element.";
  const std::u16string tooMany = u"Value of attribute 'arrayType' on element gives too many items.";
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
      {"a size past 32 bits", 11, "<a enc:arrayType='xsd:int[2147483648]'/>", tooMany},
      {"sizes whose product passes 32 bits", 11, "<a enc:arrayType='xsd:int[46341,46341]'/>", tooMany},
      {"SOAP 1.2: id beside ref", 12, "<a enc:id='x' enc:ref='y'/>",
       u"Encountered  attributes 'type' and 'id' on same element."},
      {"SOAP 1.2: nodeType compared with case", 12, "<a enc:nodeType='Struct'/>",
       u"Encountered invalid value for attribute 'nodeType' on accessor element."},
      {"SOAP 1.2: an itemType with no default namespace", 12, "<a enc:itemType='int'/>",
       u"Encountered unresolvable namespace for attribute 'itemType' on element."},
      {"SOAP 1.2: an inner size not given", 12, "<a enc:arraySize='2 *'/>", innermost},
      // Attributes that pass:
      {"a type in the default namespace", 11, "<a xmlns='urn:d' xsi:type='T'/>", u""},
      {"a 2001 type wins over a 1999 one that would not resolve", 11,
       "<a xmlns:x9='http://www.w3.org/1999/XMLSchema-instance' x9:type='q:x' xsi:type='xsd:int'/>", u""},
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

TEST(Accessors, ReferencesAndTheirIds) {
  ParsedRequest request(Envelope(
      11, "<e:Header><m:a id='x'>header</m:a><m:b id='h'>1</m:b><m:c id='h'>2</m:c></e:Header>" +
              Body("<m:first id='early' enc:root='0'>before</m:first>"
                   "<m:echo id='w'><a href='#late'/></m:echo>"
                   "<m:multi id='late'>after<inner id='deep'>d</inner></m:multi>"
                   "<m:multi id='late'>second with the same id</m:multi><m:v id='x'>body</m:v>")));
  ASSERT_FALSE(request.fault);
  const struct {
    std::u16string_view href;
    std::u16string_view text;  // of the record found; "-": none
  } rows[] = {
      {u"#late", u"after"},  // a repeated id among independent elements keeps the first
      {u"#early", u"before"},
      {u"#deep", u"d"},
      {u"#x", u"body"},  // Body ids are searched before Header ids
      {u"#h", u"1"},     // a repeated id among header blocks keeps the first, and is no fault
      {u"w", u"-"},      // the wrapper's id names nothing
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.href));
    const AccessorHandler* found = request.parser.ResolveReference(row.href);
    EXPECT_EQ(found ? found->Text() : u"-", row.text);
  }
  EXPECT_EQ(request.parser.RpcWrapper()->LocalName(), u"echo") << "root='0' makes the next child the wrapper";

  ParsedRequest repeated(Envelope(12, Body("<m:echo><i enc:id='x'/><j enc:id='x'/></m:echo>")));
  ASSERT_TRUE(repeated.fault);
  EXPECT_EQ(repeated.fault->message, u"Id value found on accessor element is a duplicate.");
  EXPECT_EQ(repeated.fault->subcode, u"DuplicateID");
  EXPECT_EQ(repeated.fault->subcodeNS, SOAP12_ENC_NS);
}

TEST(Accessors, TheMethodWrapper) {
  const ParsedRequest notZero(Envelope(11, Body("<m:dep enc:root='false'/><m:echo/>")));
  EXPECT_EQ(notZero.parser.RpcWrapper()->LocalName(), u"dep") << "root 'false' is not '0'";
  const ParsedRequest independent(Envelope(11, Body("<m:dep enc:root='0'/>")));
  EXPECT_EQ(independent.parser.RpcWrapper(), nullptr) << "only independent elements: no wrapper";
  const ParsedRequest later12(Envelope(12, Body("<m:echo/><m:v><i enc:id='x'/></m:v>")));
  EXPECT_EQ(later12.parser.ResolveReference(u"x"), nullptr)
      << "SOAP 1.2: children after the wrapper are not read";
}

std::string Header(int version, std::string_view attributes, std::string_view blocks = "") {
  return Envelope(version, "<e:Header>" +
                               (blocks.empty() ? "<m:b" + std::string(attributes) + ">v</m:b>" : std::string(blocks)) +
                               "</e:Header>" + Body("<m:echo/>"));
}

// mustUnderstand "1" and "true", and the roles of the next node, are read
// by the mustUnderstand and intermediary tests; none of these rows asks to
// be understood or relayed.
TEST(HeaderBlocks, AttributesOfEachVersionAndTheirFaults) {
  const struct {
    const char* why;
    std::string message;
    std::u16string fault;  // empty: the block is read, with `role`
    std::u16string role = u"";
  } rows[] = {
      {"mustUnderstand 0", Header(11, " e:mustUnderstand='0'"), u""},
      {"SOAP 1.2 ignores a SOAP 1.1 mustUnderstand",
       Header(12, " xmlns:o='" + std::string(kEnv11) + "' o:mustUnderstand='1'"), u""},
      {"SOAP 1.1 ignores relay", Header(11, " e:relay='yes'"), u""},
      {"SOAP 1.2 reads role, not actor", Header(12, " e:actor='urn:a'"), u""},
      {"the ultimate receiver is stored as no role",
       Header(12, " e:role='http://www.w3.org/2003/05/soap-envelope/role/ultimateReceiver'"), u""},
      {"an empty role is told apart from none", Header(11, " e:actor=''"), u"", u"\"\""},
      {"a default namespace qualifies the block's name", Header(11, "", "<b xmlns='urn:d'/>"), u""},
      {"mustUnderstand in capitals", Header(11, " e:mustUnderstand='TRUE'"),
       u"Encountered invalid value for attribute 'mustUnderstand' on header block."},
      {"relay yes", Header(12, " e:relay='yes'"),
       u"Encountered invalid value for attribute 'relay' on header block."},
      {"a block with no namespace", Header(11, "", "<b/>"),
       u"Encountered SOAP Header Block with unqualified name."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(row.message);
    if (!row.fault.empty()) {
      ASSERT_TRUE(request.fault);
      EXPECT_EQ(request.fault->message, row.fault);
      EXPECT_EQ(request.fault->kind, FaultKind::kSender);
      EXPECT_FALSE(request.fault->needDetail) << "a header block's fault asks for no detail";
      EXPECT_TRUE(request.parser.HeaderBlocks().empty()) << "a failed parse keeps no records";
      continue;
    }
    ASSERT_FALSE(request.fault) << Narrow(request.fault->message);
    ASSERT_EQ(request.parser.HeaderBlocks().size(), 1u);
    const HeaderBlockHandler& block = *request.parser.HeaderBlocks()[0];
    EXPECT_FALSE(block.mustUnderstand);
    EXPECT_FALSE(block.relay);
    EXPECT_EQ(block.role, row.role);
  }
}

// The Envelope's style reaching a block is read by the request binding
// test's literal blocks.
TEST(HeaderBlocks, EncodingStyleIsInheritedAndStatedUnderSoap11Only) {
  const std::string style = " e:encodingStyle='urn:style'";
  const struct {
    const char* why;
    int version;
    std::string header;
    std::u16string encodingStyle;
    bool stated;  // the block's element gains SOAP-ENV:encodingStyle
  } rows[] = {
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

}  // namespace
}  // namespace qxsoap::testing
