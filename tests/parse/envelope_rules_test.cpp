// The checks around a request's parse and binding, each in both SOAP
// versions where they differ, read back as a host reads the fault: the
// envelope rules, the port's binding, the operation and SOAPAction, and
// the mustUnderstand check over the header blocks.
#include <gtest/gtest.h>

#include "request_test_support.h"
#include "xml/xml_document.h"

namespace qxsoap::testing {
namespace {

constexpr const char16_t* kClient = u"Client";
constexpr const char16_t* kSender = u"Sender";

TEST(EnvelopeRules, DocumentElementEnvelopeChildrenAndBinding) {
  const std::string style12 = " e:encodingStyle='" + std::string(kEnc12) + "'";
  const struct {
    const char* why;
    int portVersion;  // the binding the port declares; 0: none
    std::string message;
    LONG version;     // the version the handler ends with
    SeenFault fault;  // code empty: no fault
  } rows[] = {
      {"an Envelope in no namespace is a version mismatch, answered in SOAP 1.1", 12,
       "<Envelope><Body/></Envelope>", 11, {u"VersionMismatch", u"", u"SOAP Version Mismatch", false}},
      {"another document element: no Envelope", 11, "<e:Body xmlns:e='" + std::string(kEnv11) + "'/>", 11,
       {kClient, u"", u"SOAP Envelope not found in message.", false}},
      {"malformed XML names its line", 11, "<a>\n<b>\n</a>", 11,
       {kClient, u"", u"XML Parser: Parse Error on Line 3.", false}},
      {"empty input is malformed", 11, "", 11, {kClient, u"", u"XML Parser: Parse Error on Line 1.", false}},
      {"SOAP 1.1: a Body in the SOAP 1.2 namespace is the Body, a foreign element after it is ignored", 11,
       Envelope(11, "<b:Body xmlns:b='" + std::string(kEnv12) + "'><m:echo/></b:Body><m:trailer/>"), 11, {}},
      {"SOAP 1.2: a foreign element after the Body is refused", 12,
       Envelope(12, Body("<m:echo/>") + "<m:trailer/>"), 12,
       {kSender, u"", u"Encountered illegal child element within SOAP 1.2 Envelope.", true}},
      {"no Body", 11, Envelope(11, "<e:Header/>"), 11,
       {kClient, u"", u"Body element not found in SOAP Envelope.", true}},
      {"SOAP 1.2: encodingStyle on the Envelope is refused", 12, Envelope(12, Body(""), style12), 12,
       {kSender, u"", u"encodingStyle attribute not allowed on SOAP 1.2 Envelope element.", true}},
      {"SOAP 1.2: encodingStyle on the Header is refused", 12,
       Envelope(12, "<e:Header" + style12 + "/>" + Body("")), 12,
       {kSender, u"", u"encodingStyle attribute not allowed on SOAP 1.2 Header element.", true}},
      {"SOAP 1.2: encodingStyle on the Body is refused", 12, Envelope(12, "<e:Body" + style12 + "/>"), 12,
       {kSender, u"", u"encodingStyle attribute not allowed on SOAP 1.2 Body element.", true}},
      {"SOAP 1.2: an unprefixed or SOAP 1.1 encodingStyle on the Body is no SOAP 1.2 attribute", 12,
       Envelope(12, "<e:Body encodingStyle='x' xmlns:o='" + std::string(kEnv11) + "' o:encodingStyle='x'/>"),
       12, {}},
      // The binding check, after the parse: the version is the request's.
      {"a SOAP 1.1 request to a SOAP 1.2 port names SOAP 1.1", 12, Envelope(11, Body("<m:echo/>")), 11,
       {u"VersionMismatch", u"", u"SOAP 1.1 Binding not found in WSDL description for this port.", true}},
      {"a SOAP 1.2 request to a SOAP 1.1 port names SOAP 1.2", 11, Envelope(12, Body("<m:echo/>")), 12,
       {u"VersionMismatch", u"", u"SOAP 1.2 Binding not found in WSDL description for this port.", true}},
      {"a port without a binding namespace", 0, Envelope(11, Body("<m:echo/>")), 11,
       {u"Server", u"", u"SOAP Binding not found in WSDL description for this port.", true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(row.portVersion ? EchoPort(row.portVersion) : host::MemoryPort::Create());
    EXPECT_EQ(exchange.Deserialize(row.message), row.fault.code.empty());
    EXPECT_EQ(exchange.handler.IsSOAPFault(), !row.fault.code.empty());
    EXPECT_EQ(exchange.handler.GetSOAPVersion(), row.version);
    if (!row.fault.code.empty()) {
      EXPECT_EQ(FaultOf(exchange.handler), row.fault);
    }
  }
}

// A required action that does not match under SOAP 1.2 is refused in
// serve_test.py.
TEST(OperationLookup, OperationAndSoapAction) {
  auto noAction = EchoPort(11);
  noAction->Operation(u"bare").Namespace(u"urn:m");
  auto document = EchoPort(11);
  document->Style(u"document");
  const struct {
    const char* why;
    qxcom::ComPtr<host::MemoryPort> port;
    int version;
    std::string method;  // the wrapper element
    std::u16string action;
    SeenFault fault;  // code empty: the call is bound
  } rows[] = {
      {"SOAP 1.1: an unknown operation", EchoPort(11), 11, "<m:other/>", u"urn:m#echo",
       {u"Client", u"", u"Unrecognized Remote Procedure: '{urn:m}other'.", true}},
      {"SOAP 1.2: an unknown operation has the ProcedureNotPresent subcode", EchoPort(12), 12,
       "<m:other/>", u"",
       {u"Sender", u"ProcedureNotPresent", u"Unrecognized Remote Procedure: '{urn:m}other'.", true}},
      {"a namespace that differs only in case", EchoPort(11), 11, "<M:echo xmlns:M='urn:M'/>",
       u"urn:m#echo", {u"Client", u"", u"Unrecognized Remote Procedure: '{urn:M}echo'.", true}},
      {"SOAP 1.1: a quoted action does not match an unquoted one", EchoPort(11), 11, "<m:echo/>",
       u"\"urn:m#echo\"", {u"Client", u"", u"Unrecognized SOAPAction HTTP header: \"urn:m#echo\".", false}},
      {"SOAP 1.1: an empty action is checked too", EchoPort(11), 11, "<m:echo/>", u"",
       {u"Client", u"", u"Unrecognized SOAPAction HTTP header: .", false}},
      {"SOAP 1.2: any action passes when the operation does not require it", EchoPort(12), 12,
       "<m:echo/>", u"urn:anything", {}},
      {"an operation without an action in the description", noAction, 11, "<m:bare/>", u"",
       {u"Server", u"", u"SOAPAction not defined in WSDL document for this operation.", true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(row.port, row.action);
    ASSERT_TRUE(exchange.Deserialize(Envelope(row.version, Body(row.method))));
    EXPECT_EQ(exchange.handler.ProcessRPC(), row.fault.code.empty());
    if (!row.fault.code.empty()) {
      EXPECT_EQ(FaultOf(exchange.handler), row.fault);
    }
  }

  Exchange longName(EchoPort(11));
  ASSERT_TRUE(longName.Deserialize(Envelope(11, Body("<m:" + std::string(600, 'n') + "/>"))));
  EXPECT_FALSE(longName.handler.ProcessRPC());
  const std::u16string message = longName.handler.GetSOAPFaultString();
  EXPECT_EQ(message.size(), 511u) << "a long name is cut at 511 characters";
  EXPECT_TRUE(message.starts_with(u"Unrecognized Remote Procedure: '{urn:m}nnn"));

  Exchange documentStyle(document);
  documentStyle.handler.SetMethodName(u"set by host");
  ASSERT_TRUE(documentStyle.Deserialize(Envelope(11, Body("<m:echo/>"))));
  EXPECT_EQ(documentStyle.handler.GetMethodName(), u"set by host") << "a document-style port leaves it";
}

std::u16string Remaining(const MessageHandler& handler) {
  std::u16string names;
  LONG position = 0;
  for (const HeaderElemLiteral* block = handler.GetFirstHeaderElemLiteral(position); block;
       block = handler.GetNextHeaderElemLiteral(position)) {
    names += block->name + u";";
  }
  return names;
}

// Which blocks target the node is the model's (its suite); the intermediary
// test sees blocks for the next node consumed and relayed ones kept.
TEST(MustUnderstand, ConsumesTargetedBlocksUpToTheFirstNotUnderstood) {
  auto port = EchoPort(11);
  port->HeaderType({u"t", u"urn:m"}, host::Xsd(u"int"));
  const struct {
    std::string blocks;
    bool understood;
    std::u16string remaining;  // literal blocks left, in order
  } rows[] = {
      {"<m:t>1</m:t><m:a/>", true, u"added;"},
      {"<m:t>1</m:t><m:a/><m:b e:mustUnderstand='1'/>", false, u"b;c;added;"},
      // Consumed in one pass, not each block moving all after it.
      {[] {
         std::string many;
         for (int i = 0; i < 100000; ++i) many += "<m:a/>";
         return many + "<m:b e:mustUnderstand='1'/>";
       }(),
       false, u"b;c;added;"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.blocks.substr(0, 60));
    Exchange exchange(port);
    // A second Header, after the Body, adds its blocks after the first's.
    ASSERT_TRUE(exchange.Deserialize(Envelope(
        11, "<e:Header>" + row.blocks + "</e:Header>" + Body("<m:echo/>") + "<e:Header><m:c/></e:Header>",
        " e:encodingStyle='" + std::string(kEnc11) + "'")));
    exchange.handler.AddHeaderElemLiteral(u"urn:m", u"added", u"<m:added/>", true, u"", u"");
    EXPECT_EQ(exchange.handler.CheckMustUnderstand(), row.understood);
    LONG position = 0;
    EXPECT_EQ(exchange.handler.GetFirstHeaderElem(position), nullptr) << "the typed block is consumed";
    EXPECT_EQ(Remaining(exchange.handler), row.remaining)
        << "the block not understood and those after it stay; one the host added is never examined";
    EXPECT_EQ(exchange.handler.IsSOAPFault(), !row.understood);
    if (!row.understood) {
      EXPECT_EQ(FaultOf(exchange.handler),
                (SeenFault{u"MustUnderstand", u"", u"Unhandled 'mustUnderstand' header block.", false}));
    }
    EXPECT_EQ(exchange.handler.GetNumFaultHeaderElemsLiteral(), 0) << "only a SOAP 1.2 fault names a block";
  }
}

// SOAP 1.2 names the first block not understood in a NotUnderstood block.
TEST(MustUnderstand, Soap12NamesTheFirstBlockNotUnderstood) {
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
  EXPECT_EQ(notUnderstood->literalXML.Text(),
            u"<SOAP-ENV:NotUnderstood qname=\"ns:a\" xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\" "
            u"xmlns:ns=\"urn:m\" />");
}

}  // namespace
}  // namespace qxsoap::testing
