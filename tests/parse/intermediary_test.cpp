// Whole exchanges through an intermediary, in both SOAP versions: the
// request read and forwarded, the next hop's reply read and passed back.
// What the server reads, and what the sender gets back, must not depend on
// the node in between: each is compared with the direct exchange.
#include <gtest/gtest.h>

#include "platform/string_conversion.h"
#include "request_test_support.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {
namespace {

using host::Xsd;

qxcom::ComPtr<host::MemoryPort> EchoTextPort(int version) {
  auto port = EchoPort(version);
  port->Operation(u"echo")
      .EncodingStyle(version == 11 ? SOAP11_ENC_NS : SOAP12_ENC_NS)
      .In(u"text", Xsd(u"string"))
      .Return(u"return", Xsd(u"string"));
  return port;
}

// The server's host: binds the call and answers it, echoing the text, or
// with a fault when it is "fail".
std::string Serve(Exchange& server, std::string_view request) {
  EXPECT_TRUE(server.Deserialize(request)) << FaultText(server.handler);
  EXPECT_TRUE(server.handler.ProcessRPC()) << FaultText(server.handler);
  LONG position = 0;
  const MethodParam* text = server.handler.GetFirstMethodParam(position);
  if (!text) return {};
  qxcom::Variant echoed;
  EXPECT_EQ(VariantCopy(echoed.get(), text->content.get()), S_OK);
  server.handler.ClearMethodParams();
  server.handler.ClearHeaderElems();
  server.handler.SetRequestPhase(false);
  if (test::Describe(*echoed.get()) != u"BSTR:fail") {
    server.handler.SetReturnValue(echoed.get());
  } else if (server.handler.GetSOAPVersion() == 11) {
    server.handler.SetFault11(u"Server", SOAP11_ENV_NS, u"cannot", u"", false);
  } else {
    server.handler.SetFault12(u"Receiver", SOAP12_ENV_NS, u"", u"", {{u"en", u"cannot"}}, u"", false);
  }
  return server.Written();
}

// A message as our reader reads it, written back without the XML
// declaration: namespace declarations that repeat one in scope are gone.
std::u16string AsRead(std::string_view message) {
  const std::unique_ptr<XmlElement> root =
      ParseFragment(qxcom::ToUtf16(message.substr(message.find("?>") + 2)));
  std::u16string written;
  if (root) WriteElement(*root, nullptr, written);
  return written;
}

// A request with a block for the next node, one for the next node that
// asks to be relayed (SOAP 1.2), and one for the ultimate receiver.
std::string Request(int version, std::string_view text) {
  const std::u16string_view next = version == 11 ? SOAP11_ACTOR_NEXT : SOAP12_ROLE_NEXT;
  const std::string target = (version == 11 ? "e:actor='" : "e:role='") + Narrow(next) + "'";
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
      const std::string request = Request(version, text.xml);
      Exchange direct(EchoTextPort(version));
      const std::string directReply = Serve(direct, request);

      Exchange hop(EchoTextPort(version), u"urn:m#echo", u"http://next.example/");
      ASSERT_TRUE(hop.Deserialize(request)) << FaultText(hop.handler);
      ASSERT_TRUE(hop.handler.ProcessRPC()) << FaultText(hop.handler);
      EXPECT_EQ(Parameters(hop.handler), u"text in = BSTR:" + std::u16string(text.value) + u"\n");
      ASSERT_TRUE(hop.handler.CheckMustUnderstand());
      const std::string forwarded = hop.Written();
      EXPECT_EQ(forwarded.find("<h:hop"), std::string::npos) << "taken by the intermediary: " << forwarded;
      EXPECT_NE(forwarded.find("<h:end"), std::string::npos) << "for the server: " << forwarded;
      EXPECT_EQ(forwarded.find("<h:relayed") != std::string::npos, version != 11)
          << "a SOAP 1.2 block for the next node that asks to be relayed goes on: " << forwarded;
      EXPECT_NE(forwarded.find("<e:Body><m:echo><text>" + std::string(text.xml) + "</text></m:echo></e:Body>"),
                std::string::npos)
          << "the Body goes on as received: " << forwarded;

      Exchange server(EchoTextPort(version));
      const std::string reply = Serve(server, forwarded);
      hop.handler.ClearMethodParams();
      hop.handler.ClearHeaderElems();
      hop.handler.SetRequestPhase(false);
      ASSERT_TRUE(hop.Deserialize(reply)) << FaultText(hop.handler);
      if (text.value == u"fail") {
        EXPECT_TRUE(hop.handler.IsSOAPFault());
        EXPECT_FALSE(hop.handler.IsFaultRaisedHere());
        EXPECT_EQ(FaultOf(hop.handler).message, u"cannot");
        EXPECT_FALSE(hop.handler.ProcessRPC());
      } else {
        ASSERT_TRUE(hop.handler.ProcessRPC()) << FaultText(hop.handler);
        EXPECT_EQ(test::Describe(hop.handler.ReturnValue()), u"BSTR:" + std::u16string(text.value));
      }
      EXPECT_EQ(AsRead(hop.Written()), AsRead(directReply)) << "the sender reads what the server said";
    }
  }
}

// A GET call's reply is read by the response phase of ProcessRPCGet.
TEST(Intermediary, BindsTheReplyToAGetCall) {
  auto port = EchoPort(12);
  port->Operation(u"echo").InOut(u"text", Xsd(u"string")).Return(u"return", Xsd(u"string"));
  Exchange hop(port, u"urn:m#echo", u"http://next.example/");
  ASSERT_TRUE(hop.handler.ProcessRPCGet(u"/svc", u"/echo", u"text=x")) << FaultText(hop.handler);
  hop.handler.ClearMethodParams();
  hop.handler.SetRequestPhase(false);
  ASSERT_TRUE(hop.Deserialize(Envelope(12, Body("<m:echoResponse><r:result xmlns:r='http://www.w3.org/"
                                                "2003/05/soap-rpc'>return</r:result><return>x</return>"
                                                "</m:echoResponse>"))));
  ASSERT_TRUE(hop.handler.ProcessRPCGet(u"/svc", u"/echo", u"text=x")) << FaultText(hop.handler);
  EXPECT_EQ(test::Describe(hop.handler.ReturnValue()), u"BSTR:x");
}

}  // namespace
}  // namespace qxsoap::testing
