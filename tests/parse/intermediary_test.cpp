// Whole exchanges through an intermediary, in both SOAP versions: the
// request read and forwarded, the next hop's reply read and passed back.
// Each is compared with the direct exchange between the same sender and
// the server: what the server reads, and what the sender gets back, must
// not depend on the node in between.
#include <gtest/gtest.h>

#include "request_test_support.h"
#include "platform/string_conversion.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {
namespace {

using host::Xsd;

qxcom::ComPtr<host::MemoryPort> EchoTextPort(int version) {
  auto port = host::MemoryPort::Create();
  port->Binding(version == 11 ? WSDL_SOAP11_NS : WSDL_SOAP12_NS).Style(u"rpc");
  port->Operation(u"echo")
      .Namespace(u"urn:m")
      .Action(u"urn:m#echo")
      .Use(u"encoded")
      .EncodingStyle(version == 11 ? SOAP11_ENC_NS : SOAP12_ENC_NS)
      .In(u"text", Xsd(u"string"))
      .Return(u"return", Xsd(u"string"));
  return port;
}

// One node of the path: the server when `nextHop` is empty, else an
// intermediary.
struct Node {
  Node(int version, std::u16string_view nextHop) : Node(EchoTextPort(version), nextHop) {}
  Node(qxcom::ComPtr<host::MemoryPort> described, std::u16string_view nextHop) : port(std::move(described)) {
    EXPECT_TRUE(handler.Initialize(u"svc", u"port", u"urn:node", u"urn:m#echo", nextHop, false,
                                   false, port.get()));
  }
  void Receive(std::string_view message) {
    ASSERT_TRUE(handler.SetBuffer({reinterpret_cast<const BYTE*>(message.data()), message.size()}));
    ASSERT_TRUE(handler.Deserialize()) << FaultText(handler);
  }
  std::string Written() {
    EXPECT_TRUE(handler.Serialize()) << FaultText(handler);
    const std::span<const BYTE> bytes = handler.GetBuffer();
    return std::string(bytes.begin(), bytes.end());
  }

  qxcom::ComPtr<host::MemoryPort> port;
  MessageHandler handler{ProductionEngines()};
};

// The server's host: binds the call and answers it, echoing the text, or
// with a fault when it is "fail".
std::string Serve(Node& server, std::string_view request) {
  server.Receive(request);
  EXPECT_TRUE(server.handler.ProcessRPC()) << FaultText(server.handler);
  LONG position = 0;
  const MethodParam* text = server.handler.GetFirstMethodParam(position);
  EXPECT_NE(text, nullptr);
  if (!text) return {};
  qxcom::Variant echoed;
  EXPECT_EQ(VariantCopy(echoed.get(), text->content.get()), S_OK);
  server.handler.ClearMethodParams();
  server.handler.ClearHeaderElems();
  server.handler.SetRequestPhase(false);
  if (test::Describe(*echoed.get()) == u"BSTR:fail") {
    if (server.handler.GetSOAPVersion() == 11) {
      server.handler.SetFault11(u"Server", SOAP11_ENV_NS, u"cannot", u"", false);
    } else {
      server.handler.SetFault12(u"Receiver", SOAP12_ENV_NS, u"", u"", {{u"en", u"cannot"}}, u"", false);
    }
  } else {
    server.handler.SetReturnValue(echoed.get());
  }
  return server.Written();
}

// A message as our reader reads it, written back without the XML
// declaration: namespace declarations that repeat one in scope are gone.
std::u16string AsRead(std::string_view message) {
  const std::u16string text = qxcom::ToUtf16(message.substr(message.find("?>") + 2));
  const std::unique_ptr<XmlElement> root = ParseFragment(text);
  std::u16string written;
  if (root) WriteElement(*root, nullptr, written);
  return written;
}

// A request with a block for the next node, one for the next node that
// asks to be relayed (SOAP 1.2), and one for the ultimate receiver.
std::string Request(int version, std::string_view text) {
  const std::string next(version == 11 ? SOAP11_ACTOR_NEXT.begin() : SOAP12_ROLE_NEXT.begin(),
                         version == 11 ? SOAP11_ACTOR_NEXT.end() : SOAP12_ROLE_NEXT.end());
  const std::string target = version == 11 ? "e:actor='" + next + "'" : "e:role='" + next + "'";
  std::string header = "<e:Header><h:hop xmlns:h='urn:h' " + target + ">1</h:hop>";
  if (version != 11) header += "<h:relayed xmlns:h='urn:h' " + target + " e:relay='true'>2</h:relayed>";
  header += "<h:end xmlns:h='urn:h'>3</h:end></e:Header>";
  return Envelope(version, header + Body("<m:echo><text>" + std::string(text) + "</text></m:echo>"));
}

TEST(Intermediary, PassesCallsAndRepliesOnAsADirectExchangeWould) {
  const struct {
    std::string_view xml;
    std::u16string_view value;
  } texts[] = {{"h\xC3\xA9llo &amp; &lt;you&gt;", u"h\u00e9llo & <you>"}, {"fail", u"fail"}};
  for (const int version : {11, 12}) {
    for (const auto& text : texts) {
      SCOPED_TRACE(::testing::Message() << "SOAP " << version << ", text " << text.xml);
      const bool failing = text.value == u"fail";
      const std::string request = Request(version, text.xml);
      Node direct(version, u"");
      const std::string directReply = Serve(direct, request);

      Node hop(version, u"http://next.example/");
      hop.Receive(request);
      ASSERT_TRUE(hop.handler.ProcessRPC()) << FaultText(hop.handler);
      EXPECT_EQ(Parameters(hop.handler), u"text in = BSTR:" + std::u16string(text.value) + u"\n");
      ASSERT_TRUE(hop.handler.CheckMustUnderstand());
      const std::string forwarded = hop.Written();

      Node server(version, u"");
      const std::string reply = Serve(server, forwarded);
      EXPECT_EQ(forwarded.find("<h:hop"), std::string::npos) << "taken by the intermediary: " << forwarded;
      EXPECT_NE(forwarded.find("<h:end"), std::string::npos) << "for the server: " << forwarded;
      EXPECT_EQ(forwarded.find("<h:relayed") != std::string::npos, version != 11)
          << "a SOAP 1.2 block for the next node that asks to be relayed goes on: " << forwarded;
      EXPECT_NE(forwarded.find("<e:Body><m:echo><text>" + std::string(text.xml) + "</text></m:echo></e:Body>"),
                std::string::npos)
          << "the Body goes on as received: " << forwarded;

      hop.handler.ClearMethodParams();
      hop.handler.ClearHeaderElems();
      hop.handler.SetRequestPhase(false);
      hop.Receive(reply);
      if (failing) {
        EXPECT_TRUE(hop.handler.IsSOAPFault());
        EXPECT_FALSE(hop.handler.IsFaultRaisedHere());
        EXPECT_EQ(FaultOf(hop.handler).message, u"cannot");
        EXPECT_FALSE(hop.handler.ProcessRPC());
      } else {
        ASSERT_TRUE(hop.handler.ProcessRPC()) << FaultText(hop.handler);
        EXPECT_EQ(test::Describe(hop.handler.ReturnValue()), u"BSTR:" + std::u16string(text.value));
      }
      const std::string passedBack = hop.Written();
      EXPECT_EQ(AsRead(passedBack), AsRead(directReply)) << "the sender reads what the server said";
    }
  }
}

// A GET call's reply is read by the response phase of ProcessRPCGet.
TEST(Intermediary, BindsTheReplyToAGetCall) {
  auto port = host::MemoryPort::Create();
  port->Binding(WSDL_SOAP12_NS).Style(u"rpc");
  port->Operation(u"echo").Namespace(u"urn:m").Use(u"encoded").InOut(u"text", Xsd(u"string"))
      .Return(u"return", Xsd(u"string"));
  Node hop(port, u"http://next.example/");
  ASSERT_TRUE(hop.handler.ProcessRPCGet(u"/svc", u"/echo", u"text=x")) << FaultText(hop.handler);
  hop.handler.ClearMethodParams();
  hop.handler.SetRequestPhase(false);
  hop.Receive(Envelope(12, Body("<m:echoResponse><r:result xmlns:r='http://www.w3.org/2003/05/soap-rpc'>"
                                "return</r:result><return>x</return></m:echoResponse>")));
  ASSERT_TRUE(hop.handler.ProcessRPCGet(u"/svc", u"/echo", u"text=x")) << FaultText(hop.handler);
  EXPECT_EQ(test::Describe(hop.handler.ReturnValue()), u"BSTR:x");
}

}  // namespace
}  // namespace qxsoap::testing
