// Whole messages from Serialize, compared byte for byte: responses, header
// blocks, bodies and faults of both SOAP versions; then values through a
// round trip. libxml2 reads every message written.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <tuple>
#include <vector>

#include "rpc/production_engines.h"
#include "serializer_test_support.h"
#include "support/struct_object_reader.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const std::string kEnvelope11 = "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">";
const std::string kEnvelope12 = "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\">";

qxcom::ComPtr<host::MemoryPort> QuotePort(std::u16string_view style = u"rpc") {
  auto port = host::MemoryPort::Create();
  port->Binding(WSDL_SOAP11_NS).Style(style);
  port->Operation(u"getQuote")
      .Namespace(u"urn:x")
      .Use(u"encoded")
      .In(u"symbol", Xsd(u"string"))
      .Out(u"currency", Xsd(u"string"))
      .Return(u"price", Xsd(u"double"))
      .OutputHeader({u"session", u"urn:h"}, Xsd(u"int"))
      .FaultDetail({u"reason", u"urn:d"}, Xsd(u"string"))
      .FaultDetail({u"code", u"urn:d"}, Xsd(u"int"), u"encoded", SOAP11_ENC_NS)
      .FaultDetail({u"rows", u"urn:d"}, {u"IntList", u"urn:t"});
  port->LiteralArray({u"IntList", u"urn:t"}, Xsd(u"int"), {u"n", u""});
  return port;
}

// A handler with the production engines answering getQuote.
struct Response {
  explicit Response(LONG version, qxcom::ComPtr<host::MemoryPort> port = QuotePort(),
                    std::u16string_view nextHop = u"")
      : port(std::move(port)) {
    EXPECT_TRUE(handler.Initialize(u"svc", u"port", u"urn:node", u"", nextHop, false, false,
                                   this->port.get()));
    handler.SetSOAPVersion(version);
    handler.SetMethodName(u"getQuote");
    handler.SetMethodNS(u"urn:x");
    handler.SetReturnName(u"price");
    const qxcom::Variant price = test::DoubleVariant(1.5);
    handler.SetReturnValue(price.get());
    const qxcom::Variant currency = test::BstrVariant(u"EUR");
    handler.AddMethodParam(u"", u"currency", currency.get(), false, true);
    handler.SetRequestPhase(false);
  }
  // Serializes and returns the buffer; "false" when Serialize failed, in
  // which case the buffer must be empty.
  std::string Written() {
    if (!handler.Serialize()) {
      EXPECT_TRUE(handler.GetBuffer().empty());
      return "false";
    }
    const std::string text = WellFormedBuffer(handler);
    EXPECT_EQ(text.rfind(kDeclaration, 0), 0u);
    return text.substr(kDeclaration.size());
  }
  qxcom::ComPtr<host::MemoryPort> port;
  MessageHandler handler{ProductionEngines()};
};

TEST(ResponseEnvelopes, CarryTheWrapperReturnValueAndParameters) {
  Response soap11(11);
  EXPECT_EQ(soap11.Written(),
            kEnvelope11 + "<SOAP-ENV:Body><m:getQuoteResponse "
            "SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\" "
            "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:m=\"urn:x\">"
            "<price>1.5</price><currency>EUR</currency></m:getQuoteResponse></SOAP-ENV:Body>"
            "</SOAP-ENV:Envelope>");
  Response soap12(12);
  EXPECT_EQ(soap12.Written(),
            kEnvelope12 + "<SOAP-ENV:Body><m:getQuoteResponse "
            "SOAP-ENV:encodingStyle=\"http://www.w3.org/2003/05/soap-encoding\" "
            "xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\" xmlns:m=\"urn:x\">"
            "<SOAP-RPC:result xmlns:SOAP-RPC=\"http://www.w3.org/2003/05/soap-rpc\">price"
            "</SOAP-RPC:result><price>1.5</price><currency>EUR</currency></m:getQuoteResponse>"
            "</SOAP-ENV:Body></SOAP-ENV:Envelope>");
}

TEST(ResponseEnvelopes, WriteTypedHeaderBlocksWithTheirAttributesPerVersion) {
  const qxcom::Variant session = test::LongVariant(7);
  for (LONG version : {11, 12}) {
    Response response(version);
    response.handler.AddHeaderElemLiteral12(u"urn:l", u"trace", u"<t:trace xmlns:t=\"urn:l\">on</t:trace>",
                                            false, u"", false, u"");
    response.handler.AddHeaderElem12(u"urn:h", u"session", session.get(), true, u"urn:next", true);
    const std::string text = response.Written();
    const std::string expected =
        "<SOAP-ENV:Header><t:trace xmlns:t=\"urn:l\">on</t:trace><h:session " +
        std::string(version == 11 ? "SOAP-ENV:actor=\"urn:next\" "
                                    "SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\" "
                                    "SOAP-ENV:mustUnderstand=\"1\" "
                                    "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                                  : "SOAP-ENV:encodingStyle=\"http://www.w3.org/2003/05/soap-encoding\" "
                                    "SOAP-ENV:mustUnderstand=\"true\" SOAP-ENV:relay=\"true\" "
                                    "SOAP-ENV:role=\"urn:next\" "
                                    "xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\" ") +
        "xmlns:h=\"urn:h\">7</h:session></SOAP-ENV:Header>";
    EXPECT_NE(text.find(expected), std::string::npos) << version << ": " << text;
  }
}

// A value without a type is no fault: the envelope is not written at all.
TEST(ResponseEnvelopes, FailWholeOnAPartOrHeaderBlockThatCannotBeWritten) {
  const qxcom::Variant value = test::LongVariant(1);
  Response notAnOutput(11), untyped(11), malformed(11);
  notAnOutput.handler.AddMethodParam(u"", u"symbol", value.get(), true, false);
  untyped.handler.AddHeaderElem(u"urn:h", u"unknown", value.get(), false, u"");
  malformed.handler.AddHeaderElemLiteral(u"urn:l", u"x", u"<x>", false, u"", u"");
  for (Response* response : {&notAnOutput, &untyped, &malformed}) {
    EXPECT_EQ(response->Written(), "false");
    EXPECT_FALSE(response->handler.IsSOAPFault());
  }
}

// A document-style message without a literal Body has an empty one; the
// Body's own declaration repeats the envelope's, so it is not written. (The
// intermediary test writes a literal Body.)
TEST(DocumentStyleBodies, AreEmptyWithoutALiteralBody) {
  Response empty(12, QuotePort(u"document"));
  empty.handler.ClearMethodParams();
  EXPECT_EQ(empty.Written(), kEnvelope12 + "<SOAP-ENV:Body /></SOAP-ENV:Envelope>");
}

// An intermediary forwards the request in a shell of the envelope it read:
// the sender's prefixes, declarations and attributes, its Body, and the
// handler's header blocks as they stand.
TEST(IntermediaryEnvelopes, KeepTheReceivedEnvelopeAndBody) {
  auto port = QuotePort();
  port->Operation(u"getQuote").InputHeader({u"session", u"urn:h"}, Xsd(u"int"));
  Response forward(11, port, u"http://next.example/");
  forward.handler.SetRequestPhase(true);
  const std::string request =
      "<env:Envelope xmlns:env='http://schemas.xmlsoap.org/soap/envelope/' xmlns:q='urn:x' "
      "q:trace='1'><env:Header><h:session xmlns:h='urn:h'>7</h:session></env:Header>"
      "<env:Body><q:getQuote><symbol>ACME</symbol></q:getQuote></env:Body></env:Envelope>";
  ASSERT_TRUE(forward.handler.SetBuffer({reinterpret_cast<const BYTE*>(request.data()), request.size()}));
  ASSERT_TRUE(forward.handler.Deserialize());
  forward.handler.ClearHeaderElems();
  const qxcom::Variant session = test::LongVariant(8);
  forward.handler.AddHeaderElem(u"urn:h", u"session", session.get(), false, u"");
  EXPECT_EQ(forward.Written(),
            "<env:Envelope q:trace=\"1\" xmlns:env=\"http://schemas.xmlsoap.org/soap/envelope/\" "
            "xmlns:q=\"urn:x\"><env:Header><h:session "
            "SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\" "
            "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:h=\"urn:h\">8"
            "</h:session></env:Header><env:Body><q:getQuote><symbol>ACME</symbol></q:getQuote>"
            "</env:Body></env:Envelope>");
}

// The detail entries the port cannot type, and the one whose value raises
// (a literal array of two dimensions), are left out; the others stay.
TEST(FaultEnvelopes, Soap11CarryCodeStringActorAndDetail) {
  Response server(11);
  server.handler.SetFault11(u"Client", SOAP11_ENV_NS, u"Bad symbol & co", u"", true);
  const qxcom::Variant reason = test::BstrVariant(u"unknown"), code = test::LongVariant(4);
  server.handler.AddFaultDetailElem(u"urn:d", u"reason", reason.get());
  server.handler.AddFaultDetailElem(u"urn:d", u"undescribed", reason.get());
  server.handler.AddFaultDetailElem(u"urn:d", u"code", code.get());
  const qxcom::Variant square = VariantArray({{1, 0}, {1, 0}}, {code.get()});
  server.handler.AddFaultDetailElem(u"urn:d", u"rows", square.get());
  EXPECT_EQ(server.Written(),
            kEnvelope11 + "<SOAP-ENV:Body><SOAP-ENV:Fault><faultcode "
            "xmlns:ns=\"http://schemas.xmlsoap.org/soap/envelope/\">ns:Client</faultcode>"
            "<faultstring>Bad symbol &amp; co</faultstring><detail>"
            "<nsb:reason xmlns:nsb=\"urn:d\">unknown</nsb:reason>"
            "<d:code SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\" "
            "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:d=\"urn:d\">4"
            "</d:code></detail></SOAP-ENV:Fault></SOAP-ENV:Body></SOAP-ENV:Envelope>");

  // The actor is the node's URI, and no detail was wanted; header blocks
  // added for the fault go in the fault envelope's Header.
  Response withNode(11);
  withNode.handler.SetFault11(u"Server", SOAP11_ENV_NS, u"down", u"urn:somewhere", false);
  withNode.handler.AddFaultHeaderElemLiteral(u"urn:l", u"why", u"<w:why xmlns:w=\"urn:l\">x</w:why>", false, u"",
                                             u"");
  EXPECT_EQ(withNode.Written(),
            kEnvelope11 + "<SOAP-ENV:Header><w:why xmlns:w=\"urn:l\">x</w:why></SOAP-ENV:Header>"
            "<SOAP-ENV:Body><SOAP-ENV:Fault><faultcode xmlns:ns=\"http://schemas.xmlsoap.org/soap/envelope/\">"
            "ns:Server</faultcode><faultstring>down</faultstring><faultactor>urn:node</faultactor>"
            "</SOAP-ENV:Fault></SOAP-ENV:Body></SOAP-ENV:Envelope>");
}

TEST(FaultEnvelopes, Soap12NestSubcodesAndListReasonsByLanguage) {
  Response server(12);
  server.handler.SetFault12(u"Sender", SOAP12_ENV_NS, u"BadArguments", SOAP12_RPC_NS,
                            {{u"fr", u"mauvais"}, {u"en", u"bad"}}, u"", false);
  EXPECT_EQ(server.Written(),
            kEnvelope12 + "<SOAP-ENV:Body><SOAP-ENV:Fault><SOAP-ENV:Code><SOAP-ENV:Value "
            "xmlns:ns=\"http://www.w3.org/2003/05/soap-envelope\">ns:Sender</SOAP-ENV:Value>"
            "<SOAP-ENV:Subcode><SOAP-ENV:Value xmlns:ns=\"http://www.w3.org/2003/05/soap-rpc\">"
            "ns:BadArguments</SOAP-ENV:Value></SOAP-ENV:Subcode></SOAP-ENV:Code>"
            "<SOAP-ENV:Reason><SOAP-ENV:Text xml:lang=\"en\">bad</SOAP-ENV:Text>"
            "<SOAP-ENV:Text xml:lang=\"fr\">mauvais</SOAP-ENV:Text></SOAP-ENV:Reason>"
            "</SOAP-ENV:Fault></SOAP-ENV:Body></SOAP-ENV:Envelope>");

  Response intermediary(12, QuotePort(), u"http://next.example/");
  intermediary.handler.SetFault12(u"Receiver", SOAP12_ENV_NS, u"", u"", {}, u"", true);
  const std::string text = intermediary.Written();
  EXPECT_NE(text.find("<SOAP-ENV:Reason><SOAP-ENV:Text xml:lang=\"en\">No Reason specified."
                      "</SOAP-ENV:Text></SOAP-ENV:Reason><SOAP-ENV:Node>urn:node</SOAP-ENV:Node>"
                      "<SOAP-ENV:Detail /></SOAP-ENV:Fault>"),
            std::string::npos)
      << text;
}

// Values through a whole round trip: one handler writes a call with the
// values as its parameters, another reads the bytes back with Deserialize
// and ProcessRPC, and every value comes back equal, in both SOAP versions and
// with explicit typing on and off.
const TypeName kStruct{u"SOAPStruct", u"urn:t"}, kNested{u"Nested", u"urn:t"}, kStrings{u"ArrayOfstring", u"urn:t"},
    kGrid{u"ArrayOfint2", u"urn:t"}, kStructs{u"ArrayOfSOAPStruct", u"urn:t"};

struct Parameter {
  std::u16string name;
  TypeName type;
  qxcom::Variant value;
};

std::vector<Parameter> EchoValues() {
  std::vector<Parameter> values;
  const auto add = [&](std::u16string name, TypeName type, qxcom::Variant value) {
    values.push_back({std::move(name), std::move(type), std::move(value)});
  };
  add(u"accented", Xsd(u"string"), test::BstrVariant(u"h\u00e9llo \u20ac"));
  add(u"astral", Xsd(u"string"), test::BstrVariant(u"\U0001F600 and \U00010348"));
  add(u"markup", Xsd(u"string"), test::BstrVariant(u"<a href=\"x\">&amp;'</a>]]>"));
  add(u"smallest", Xsd(u"int"), test::LongVariant(INT_MIN));
  add(u"single", Xsd(u"float"), test::FloatVariant(-FLT_MAX));
  add(u"fraction", Xsd(u"double"), test::DoubleVariant(0.1));
  add(u"flag", Xsd(u"boolean"), test::BoolVariant(true));
  add(u"when", Xsd(u"dateTime"), test::DateVariant(45000.25));
  add(u"money", Xsd(u"decimal"), test::DecimalVariant(u"-79228162514264337593543950335"));
  // Every byte value, in texts too long for the tree's blocks, made in
  // memory of their own.
  std::vector<BYTE> document(200000);
  for (size_t i = 0; i < document.size(); ++i) document[i] = BYTE(i * 7 + i / 251);
  add(u"document", Xsd(u"base64Binary"), test::ByteArrayVariant(document));
  add(u"longHex", Xsd(u"hexBinary"), test::ByteArrayVariant(document));
  add(u"strings", kStrings, test::StringArrayVariant({u"a", u"", u"\u00e9"}));
  add(u"none", kStrings, test::StringArrayVariant({}));
  const qxcom::Variant v[] = {test::LongVariant(1), test::LongVariant(2), test::LongVariant(3),
                              test::LongVariant(4), test::LongVariant(5), test::LongVariant(6)};
  add(u"grid", kGrid,
      VariantArray({{2, 0}, {3, 0}}, {v[0].get(), v[1].get(), v[2].get(), v[3].get(), v[4].get(), v[5].get()}));
  const qxcom::Variant text = test::BstrVariant(u"s"), number = test::FloatVariant(1.5f);
  const qxcom::Variant inner = StructVariant(
      {{u"varString", u"", *text.get()}, {u"varInt", u"", *v[0].get()}, {u"varFloat", u"", *number.get()}});
  add(u"nested", kNested, StructVariant({{u"label", u"", *text.get()}, {u"inner", u"", *inner.get()}}));
  add(u"structs", kStructs, VariantArray({{2, 0}}, {inner.get(), inner.get()}));
  return values;
}

class RoundTrips : public ::testing::TestWithParam<std::tuple<LONG, bool>> {};

TEST_P(RoundTrips, GiveBackEveryValue) {
  const auto [version, explicitTyping] = GetParam();
  const std::u16string encoding(version == 11 ? SOAP11_ENC_NS : SOAP12_ENC_NS);
  const std::vector<Parameter> values = EchoValues();
  auto port = host::MemoryPort::Create();
  port->Binding(version == 11 ? WSDL_SOAP11_NS : WSDL_SOAP12_NS).Style(u"rpc");
  port->Struct(kStruct).Member(u"varString", Xsd(u"string")).Member(u"varInt", Xsd(u"int")).Member(
      u"varFloat", Xsd(u"float"));
  port->Struct(kNested).Member(u"label", Xsd(u"string")).Member(u"inner", kStruct);
  port->Array(kStrings, Xsd(u"string"), 1, encoding);
  port->Array(kGrid, Xsd(u"int"), 2, encoding);
  port->Array(kStructs, kStruct, 1, encoding);
  auto operation = port->Operation(u"echo");
  operation.Namespace(u"urn:echo").Action(u"urn:echo").Use(u"encoded").EncodingStyle(encoding);
  for (const Parameter& parameter : values) operation.In(parameter.name, parameter.type);

  MessageHandler sender(ProductionEngines());
  ASSERT_TRUE(sender.Initialize(u"svc", u"port", u"", u"urn:echo", u"", explicitTyping, true, port.get()));
  sender.SetSOAPVersion(version);
  sender.SetMethodName(u"echo");
  sender.SetMethodNS(u"urn:echo");
  for (const Parameter& parameter : values) {
    ASSERT_EQ(sender.AddMethodParam(u"", parameter.name, parameter.value.get(), true, false), S_OK);
  }
  ASSERT_TRUE(sender.Serialize()) << Narrow(sender.GetSOAPFaultString());
  const std::string written = WellFormedBuffer(sender);

  MessageHandler receiver(ProductionEngines());
  ASSERT_TRUE(receiver.Initialize(u"svc", u"port", u"", u"urn:echo", u"", false, false, port.get()));
  ASSERT_TRUE(receiver.SetBuffer(sender.GetBuffer()));
  ASSERT_TRUE(receiver.Deserialize()) << Narrow(receiver.GetSOAPFaultString()) << "\n" << written;
  ASSERT_TRUE(receiver.ProcessRPC()) << Narrow(receiver.GetSOAPFaultString()) << "\n" << written;
  ASSERT_EQ(receiver.GetNumMethodParams(), LONG(values.size()));
  LONG position = 0;
  const MethodParam* read = receiver.GetFirstMethodParam(position);
  for (const Parameter& parameter : values) {
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Narrow(read->name), Narrow(parameter.name));
    EXPECT_EQ(Narrow(test::Describe(*read->content.get())), Narrow(test::Describe(*parameter.value.get())))
        << Narrow(parameter.name);
    read = receiver.GetNextMethodParam(position);
  }
}

INSTANTIATE_TEST_SUITE_P(VersionsAndTyping, RoundTrips,
                         ::testing::Combine(::testing::Values(11, 12), ::testing::Bool()));

}  // namespace
}  // namespace qxsoap::testing
