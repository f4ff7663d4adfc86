// Accessor records: the encoding attributes and the faults of bad ones,
// ids and their duplicates, references resolved forward and backward, and
// the Body's choice of the method wrapper.
#include <gtest/gtest.h>

#include "request_test_support.h"

namespace qxsoap::testing {
namespace {

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(Accessors, AttributeFaults) {
  const struct {
    const char* why;
    int version;
    std::string accessor;  // inside <m:echo>
    std::u16string fault;
  } rows[] = {
      {"a type with an undeclared prefix", 11, "<a xsi:type='q:int'/>",
       u"Encountered undeclared namespace prefix for attribute 'type' on element."},
      {"a type with no colon and no default namespace", 11, "<a xsi:type='int'/>",
       u"Encountered unresolvable namespace for attribute 'type' on element."},
      {"a 1999 type is read when no 2001 one is there", 11,
       "<a xmlns:x9='http://www.w3.org/1999/XMLSchema-instance' x9:type='q:int'/>",
       u"Encountered undeclared namespace prefix for attribute 'type' on element."},
      {"one prefix bound to two namespaces: each element reads its own binding", 11,
       "<a xmlns:x='urn:other' x:type='q:int'/>"
       "<b xmlns:x='http://www.w3.org/2001/XMLSchema-instance' x:type='q:int'/>",
       u"Encountered undeclared namespace prefix for attribute 'type' on element."},
      {"a type prefix declared on a sibling only: each element resolves in its own scope", 11,
       "<a xmlns:q='urn:q' xsi:type='q:int'/><b xsi:type='q:int'/>",
       u"Encountered undeclared namespace prefix for attribute 'type' on element."},
      {"an arrayType with an undeclared prefix", 11, "<a enc:arrayType='q:int[2]'/>",
       u"Encountered undeclared namespace prefix for attribute 'arrayType' on element."},
      {"an arrayType without a size", 11, "<a enc:arrayType='xsd:int'/>",
       u"Value of attribute 'arrayType' on element doesn't have size given."},
      {"an arrayType with an inner size missing", 11, "<a enc:arrayType='xsd:int[2,]'/>",
       u"Value of attribute 'arrayType' on element is invalid, size may be unspecified for "
       u"innermost dimension only."},
      {"an offset that does not fit the dimensions", 11,
       "<a enc:arrayType='xsd:int[2,3]' enc:offset='[1]'/>",
       u"Invalid value for attribute 'offset' or 'arrayType' on element."},
      {"an offset past the size", 11, "<a enc:arrayType='xsd:int[2]' enc:offset='[3]'/>",
       u"Invalid value for attribute 'offset' or 'arrayType' on element."},
      {"an offset of an inner dimension", 11, "<a enc:arrayType='xsd:int[2,3]' enc:offset='[0,1]'/>",
       u"Invalid value for attribute 'offset' or 'arrayType' on element."},
      {"an offset without a bracket", 11, "<a enc:arrayType='xsd:int[2]' enc:offset='1'/>",
       u"Invalid value for attribute 'offset' or 'arrayType' on element."},
      {"sizes whose product passes 32 bits", 11, "<a enc:arrayType='xsd:int[65536,65536]'/>",
       u"Value of attribute 'arrayType' on element gives too many items."},
      {"SOAP 1.2: id beside ref", 12, "<a enc:id='x' enc:ref='y'/>",
       u"Encountered  attributes 'type' and 'id' on same element."},
      {"SOAP 1.2: nodeType compared with case", 12, "<a enc:nodeType='Struct'/>",
       u"Encountered invalid value for attribute 'nodeType' on accessor element."},
      {"SOAP 1.2: an itemType with no default namespace", 12, "<a enc:itemType='int'/>",
       u"Encountered unresolvable namespace for attribute 'itemType' on element."},
      {"SOAP 1.2: an inner size not given", 12, "<a enc:arraySize='2 *'/>",
       u"Value of attribute 'arrayType' on element is invalid, size may be unspecified for "
       u"innermost dimension only."},
      {"SOAP 1.2: two elements with one id", 12, "<a><b enc:id='x'/><c enc:id='x'/></a>",
       u"Id value found on accessor element is a duplicate."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(Envelope(row.version, Body("<m:echo>" + row.accessor + "</m:echo>")));
    ASSERT_TRUE(request.fault);
    EXPECT_EQ(request.fault->message, row.fault);
    EXPECT_EQ(request.fault->kind, FaultKind::kSender);
    EXPECT_TRUE(request.fault->needDetail) << "a fault in the Body asks for a detail element";
    EXPECT_EQ(request.parser.RpcWrapper(), nullptr) << "a failed parse keeps no records";
  }
}

TEST(Accessors, WellFormedAttributesPass) {
  const struct {
    const char* why;
    int version;
    std::string accessor;
  } rows[] = {
      {"a type in the default namespace", 11, "<a xmlns='urn:d' xsi:type='T'/>"},
      {"a 2001 type wins over a 1999 one that would not resolve", 11,
       "<a xmlns:x9='http://www.w3.org/1999/XMLSchema-instance' x9:type='q:x' xsi:type='xsd:int'/>"},
      {"SOAP 1.1 ignores SOAP 1.2 attributes", 11, "<a xmlns:n='" + std::string(kEnc12) +
                                                       "' n:nodeType='bad' n:itemType='x'/>"},
      {"SOAP 1.2 ignores SOAP 1.1 attributes", 12, "<a xmlns:o='" + std::string(kEnc11) +
                                                       "' o:arrayType='x' o:offset='bad'/>"},
      {"a prefix rebound below is no schema instance there", 11,
       "<a xsi:type='xsd:int'/><b xmlns:xsi='urn:other' xsi:type='q:int'/>"},
      {"nested arrays and a first size not given", 11, "<a enc:arrayType='xsd:int[][3]'/>"},
      {"an offset on an element that refers to its array is checked alone", 11,
       "<a href='#x' enc:offset='[5]'/>"},
      {"SOAP 1.2: a first size not given", 12, "<a enc:arraySize='* 3' enc:itemType='xsd:int'/>"},
      {"SOAP 1.2: the three nodeTypes", 12,
       "<a enc:nodeType='simple'/><b enc:nodeType='struct'/><c enc:nodeType='array'/>"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ParsedRequest request(Envelope(row.version, Body("<m:echo>" + row.accessor + "</m:echo>")));
    EXPECT_FALSE(request.fault) << Narrow(request.fault->message);
  }
}

TEST(Accessors, RecordsKeepTheirElementsAndOrder) {
  ParsedRequest request(Envelope(
      11, Body("<m:echo><a xsi:type='xsd:string'>text</a><b xmlns:t='urn:t' xsi:type='t:Point'>"
               "<x>1</x><y>2</y></b><c xmlns:t='urn:u' xsi:type='t:Point'/></m:echo>")));
  ASSERT_FALSE(request.fault);
  const AccessorHandler* wrapper = request.parser.RpcWrapper();
  ASSERT_NE(wrapper, nullptr);
  std::string seen;
  for (const AccessorHandler& child : wrapper->ChildRecords()) {
    const QName type = child.Type();
    seen += Narrow(child.LocalName()) + "{" + Narrow(type.namespaceUri) + "}" +
            Narrow(type.localName) + "='" + Narrow(child.Text()) + "'[";
    for (const AccessorHandler& member : child.ChildRecords()) seen += Narrow(member.Text());
    seen += "];";
  }
  // One prefix in two scopes: each record's type is read in its own.
  EXPECT_EQ(seen,
            "a{http://www.w3.org/2001/XMLSchema}string='text'[];b{urn:t}Point=''[12];"
            "c{urn:u}Point=''[];");
}

TEST(Accessors, ReferencesResolveForwardBackwardAndIntoTheHeader) {
  ParsedRequest request(Envelope(
      11, "<e:Header><m:h id='head'>in header</m:h></e:Header>" +
              Body("<m:first id='early' enc:root='0'>before</m:first>"
                   "<m:echo><a href='#late'/><b href='#early'/><c href='#head'/></m:echo>"
                   "<m:multi id='late'>after<inner id='deep'>d</inner></m:multi>"
                   "<m:multi id='late'>second with the same id</m:multi>")));
  ASSERT_FALSE(request.fault);
  const struct {
    std::u16string_view href;
    std::u16string_view text;  // of the record found; empty: none
  } rows[] = {
      {u"#late", u"after"},     {u"late", u"after"},     {u"#early", u"before"},
      {u"#head", u"in header"}, {u"#deep", u"d"},        {u"#nowhere", u""},
      {u"#", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.href));
    const AccessorHandler* found = request.parser.ResolveReference(row.href);
    EXPECT_EQ(found ? found->Text() : u"", row.text);
  }
  EXPECT_EQ(request.parser.RpcWrapper()->LocalName(), u"echo")
      << "root='0' makes the next child the wrapper";
}

TEST(Accessors, BodyIdsAreSearchedBeforeHeaderIds) {
  ParsedRequest request(Envelope(11, "<e:Header><m:h id='x'>header</m:h></e:Header>" +
                                         Body("<m:echo/><m:v id='x'>body</m:v>")));
  ASSERT_FALSE(request.fault);
  EXPECT_EQ(request.parser.ResolveReference(u"#x")->Text(), u"body");
}

TEST(Accessors, RepeatedIdsAmongBlocksAndIndependentsKeepTheFirst) {
  ParsedRequest blocks(Envelope(
      11, "<e:Header><m:a id='x'>1</m:a><m:b id='x'>2</m:b></e:Header>" + Body("<m:echo/>")));
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
      {"SOAP 1.1: root '0' passes to the next child", 11, "<m:dep enc:root='0'/><m:echo/>", u"echo"},
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
  ParsedRequest wrapperId(Envelope(11, Body("<m:echo id='w'/>")));
  EXPECT_EQ(wrapperId.parser.ResolveReference(u"w"), nullptr) << "the wrapper's id names nothing";
}

}  // namespace
}  // namespace qxsoap::testing
