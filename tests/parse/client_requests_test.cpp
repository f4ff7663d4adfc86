// Requests in the shapes real clients send read without a fault: the
// method, the header blocks and the Body a host reads back.
#include <gtest/gtest.h>

#include "request_test_support.h"
#include "xml/xml_document.h"

namespace qxsoap::testing {
namespace {

std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

// PHP's SoapClient: SOAP-ENV/ns1 prefixes, xsi:type on every value,
// encodingStyle on the Envelope.
constexpr std::string_view kPhp =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:ns1=\"http://soapinterop.org/\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" "
    "SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
    "<SOAP-ENV:Body><ns1:echoStringArray><inputStringArray SOAP-ENC:arrayType=\"xsd:string[2]\" "
    "xsi:type=\"SOAP-ENC:Array\"><item xsi:type=\"xsd:string\">a</item>"
    "<item xsi:type=\"xsd:string\">b</item></inputStringArray></ns1:echoStringArray>"
    "</SOAP-ENV:Body></SOAP-ENV:Envelope>\n";

// Python's zeep: soap-env prefix, the method in a default-less ns0, no
// xsi:type, line breaks between elements.
constexpr std::string_view kZeep =
    "<?xml version='1.0' encoding='utf-8'?>\n"
    "<soap-env:Envelope xmlns:soap-env=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<soap-env:Body><ns0:echoString xmlns:ns0=\"http://soapinterop.org/\">"
    "<inputString>hello</inputString></ns0:echoString></soap-env:Body></soap-env:Envelope>";

// Perl's SOAP::Lite: soap prefix, namesp1, typed values, encodingStyle on
// the method element, a header block with mustUnderstand and actor.
constexpr std::string_view kSoapLite =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soap:Envelope "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Header>"
    "<namesp2:Session xmlns:namesp2=\"urn:session\" soap:mustUnderstand=\"1\" "
    "soap:actor=\"http://schemas.xmlsoap.org/soap/actor/next\">42</namesp2:Session></soap:Header>"
    "<soap:Body><namesp1:echoInteger xmlns:namesp1=\"http://soapinterop.org/\" "
    "soap:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
    "<inputInteger xsi:type=\"xsd:int\">7</inputInteger></namesp1:echoInteger></soap:Body>"
    "</soap:Envelope>";

// .NET and Apache Axis: multi-reference values after the wrapper, reached
// by href, marked root="0".
constexpr std::string_view kMultiRef =
    "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><soapenv:Body>"
    "<ns1:echoStruct soapenv:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\" "
    "xmlns:ns1=\"http://soapinterop.org/\"><inputStruct href=\"#id0\"/></ns1:echoStruct>"
    "<multiRef id=\"id0\" soapenc:root=\"0\" "
    "soapenv:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\" "
    "xsi:type=\"ns2:SOAPStruct\" xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\" "
    "xmlns:ns2=\"http://soapinterop.org/xsd\"><varString xsi:type=\"xsd:string\">s</varString>"
    "<varInt xsi:type=\"xsd:int\">1</varInt><varFloat xsi:type=\"xsd:float\">1.5</varFloat>"
    "</multiRef></soapenv:Body></soapenv:Envelope>";

// A SOAP 1.2 client: env/enc prefixes, ref and id in the encoding
// namespace, a role and relay on a block.
constexpr std::string_view kSoap12 =
    "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\" "
    "xmlns:enc=\"http://www.w3.org/2003/05/soap-encoding\"><env:Header>"
    "<t:trace xmlns:t=\"urn:trace\" env:role=\"http://www.w3.org/2003/05/soap-envelope/role/next\" "
    "env:relay=\"true\" enc:id=\"t1\">x</t:trace></env:Header><env:Body>"
    "<m:echoString xmlns:m=\"http://soapinterop.org/\" "
    "env:encodingStyle=\"http://www.w3.org/2003/05/soap-encoding\">"
    "<inputString enc:ref=\"t1\"/></m:echoString></env:Body></env:Envelope>";

qxcom::ComPtr<host::MemoryPort> InteropPort(int version) {
  auto port = host::MemoryPort::Create();
  port->Binding(version == 11 ? WSDL_SOAP11_NS : WSDL_SOAP12_NS).Style(u"rpc");
  return port;
}

TEST(ClientRequests, ReadWithoutAFault) {
  const struct {
    const char* why;
    int version;
    std::string message;
    std::u16string method;
    size_t headerBlocks;
  } rows[] = {
      {"PHP SoapClient", 11, std::string(kPhp), u"echoStringArray", 0},
      {"Python zeep", 11, std::string(kZeep), u"echoString", 0},
      {"Perl SOAP::Lite", 11, std::string(kSoapLite), u"echoInteger", 1},
      {"multi-reference values as .NET and Axis send them", 11, std::string(kMultiRef),
       u"echoStruct", 0},
      {"a SOAP 1.2 client", 12, std::string(kSoap12), u"echoString", 1},
      {"UTF-16 little-endian with a byte-order mark", 11, Utf16(kZeep.substr(38), false),
       u"echoString", 0},
      {"UTF-16 big-endian with a byte-order mark", 11, Utf16(kZeep.substr(38), true),
       u"echoString", 0},
      {"UTF-8 with a byte-order mark", 11, "\xEF\xBB\xBF" + std::string(kPhp), u"echoStringArray",
       0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(InteropPort(row.version));
    ASSERT_TRUE(exchange.Deserialize(row.message)) << std::string(
        exchange.handler.GetSOAPFaultString().begin(), exchange.handler.GetSOAPFaultString().end());
    EXPECT_EQ(exchange.handler.GetMethodName(), row.method);
    EXPECT_EQ(exchange.handler.GetMethodNS(), u"http://soapinterop.org/");
    EXPECT_EQ(exchange.handler.GetSOAPVersion(), row.version);

    ParsedRequest request(row.message, row.version);
    ASSERT_FALSE(request.fault);
    EXPECT_EQ(request.parser.HeaderBlocks().size(), row.headerBlocks);
    for (const AccessorHandler& parameter : request.parser.RpcWrapper()->ChildRecords()) {
      const AccessorAttributes::Value href = parameter.Attributes().href;
      if (href) {
        EXPECT_NE(request.parser.ResolveReference(*href), nullptr) << "every href resolves";
      }
    }
  }
}

TEST(ClientRequests, TheBodyIsWrittenBackWithItsEncodingStyle) {
  Exchange exchange(InteropPort(11));
  ASSERT_TRUE(exchange.Deserialize(kMultiRef));
  std::u16string body;
  ASSERT_TRUE(exchange.handler.GetBodyElemLiteral(&body));
  EXPECT_TRUE(body.starts_with(u"<soapenv:Body xmlns:soapenv="));
  EXPECT_NE(body.find(u"<varFloat xsi:type=\"xsd:float\">1.5</varFloat>"), std::u16string::npos);
  const std::unique_ptr<XmlElement> reparsed = ParseFragment(body);
  ASSERT_NE(reparsed, nullptr) << "the Body alone is a well-formed document";
  EXPECT_EQ(reparsed->LocalName(), u"Body");
  EXPECT_EQ(reparsed->Children().size(), 2u);
  EXPECT_TRUE(exchange.handler.BodyLiteral()->EncodingStyle().empty())
      << "the style is the Body's own, and this Body has none";

  ASSERT_TRUE(exchange.Deserialize(kPhp));
  ASSERT_TRUE(exchange.handler.GetBodyElemLiteral(&body));
  EXPECT_NE(body.find(u"echoStringArray"), std::u16string::npos) << "a new parse, a new Body";
  EXPECT_EQ(exchange.handler.BodyLiteral()->EncodingStyle(),
            u"http://schemas.xmlsoap.org/soap/encoding/")
      << "inherited from the Envelope";
}

TEST(ClientRequests, TheBodyOutlivesAFailedParse) {
  Exchange exchange(InteropPort(11));
  ASSERT_TRUE(exchange.Deserialize(kZeep));
  EXPECT_FALSE(exchange.Deserialize("<not closed"));
  std::u16string body;
  ASSERT_TRUE(exchange.handler.GetBodyElemLiteral(&body));
  EXPECT_NE(body.find(u"<inputString>hello</inputString>"), std::u16string::npos)
      << "the Body read before stays readable (its tree stays alive)";
}

}  // namespace
}  // namespace qxsoap::testing
