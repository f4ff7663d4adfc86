// The envelope rules of a request, each in both SOAP versions where the
// versions differ, read back as a host reads the fault: code, subcode,
// message, detail flag, and the version the fault is answered in.
#include <gtest/gtest.h>

#include "request_test_support.h"

namespace qxsoap::testing {
namespace {

constexpr const char16_t* kClient = u"Client";
constexpr const char16_t* kSender = u"Sender";

struct EnvelopeRow {
  const char* why;
  int portVersion;  // the binding the port declares
  std::string message;
  LONG version;     // the version the handler ends with
  SeenFault fault;  // code empty: no fault
};

void ExpectRows(std::span<const EnvelopeRow> rows) {
  for (const EnvelopeRow& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(EchoPort(row.portVersion));
    const bool parsed = exchange.Deserialize(row.message);
    EXPECT_EQ(parsed, row.fault.code.empty());
    EXPECT_EQ(exchange.handler.IsSOAPFault(), !row.fault.code.empty());
    EXPECT_EQ(exchange.handler.GetSOAPVersion(), row.version);
    if (!row.fault.code.empty()) {
      EXPECT_EQ(FaultOf(exchange.handler), row.fault);
    }
  }
}

TEST(EnvelopeRules, DocumentElement) {
  const EnvelopeRow rows[] = {
      {"an Envelope in the SOAP 1.1 namespace is version 11", 11, Envelope(11, Body("")), 11, {}},
      {"an Envelope in the SOAP 1.2 namespace is version 12", 12, Envelope(12, Body("")), 12, {}},
      {"an Envelope in no namespace is a version mismatch, answered in SOAP 1.1", 12,
       "<Envelope><Body/></Envelope>", 11, {u"VersionMismatch", u"", u"SOAP Version Mismatch", false}},
      {"an Envelope in a foreign namespace is a version mismatch", 11,
       "<x:Envelope xmlns:x='urn:x'><x:Body/></x:Envelope>", 11,
       {u"VersionMismatch", u"", u"SOAP Version Mismatch", false}},
      {"another document element: no Envelope", 11, "<e:Body xmlns:e='" + std::string(kEnv11) + "'/>",
       11, {kClient, u"", u"SOAP Envelope not found in message.", false}},
      {"an Envelope that is not the document element is not found either", 11,
       "<wrap>" + Envelope(11, Body("")) + "</wrap>", 11,
       {kClient, u"", u"SOAP Envelope not found in message.", false}},
      {"malformed XML names its line and keeps the version", 11, "<a>\n<b>\n</a>", 11,
       {kClient, u"", u"XML Parser: Parse Error on Line 3.", false}},
      {"empty input is malformed", 11, "", 11,
       {kClient, u"", u"XML Parser: Parse Error on Line 1.", false}},
  };
  ExpectRows(rows);
}

TEST(EnvelopeRules, EnvelopeChildren) {
  const std::string style11 = " e:encodingStyle='" + std::string(kEnc11) + "'";
  const std::string style12 = " e:encodingStyle='" + std::string(kEnc12) + "'";
  const std::string env11 = std::string(kEnv11);
  const EnvelopeRow rows[] = {
      {"SOAP 1.1: a Header and a Body", 11,
       Envelope(11, "<e:Header><m:h>1</m:h></e:Header>" + Body("<m:echo/>")), 11, {}},
      {"SOAP 1.1: a foreign element after the Body is ignored", 11,
       Envelope(11, Body("<m:echo/>") + "<m:trailer/>"), 11, {}},
      {"SOAP 1.2: the same foreign element is refused", 12,
       Envelope(12, Body("<m:echo/>") + "<m:trailer/>"), 12,
       {kSender, u"", u"Encountered illegal child element within SOAP 1.2 Envelope.", true}},
      {"SOAP 1.1: a Header after the Body and a second Body are accepted", 11,
       Envelope(11, Body("<m:echo/>") + "<e:Header/>" + Body("")), 11, {}},
      {"SOAP 1.1: a Body in the SOAP 1.2 namespace is taken as the Body", 11,
       Envelope(11, "<b:Body xmlns:b='" + std::string(kEnv12) + "'><m:echo/></b:Body>"), 11, {}},
      {"SOAP 1.1: no Body", 11, Envelope(11, "<e:Header/>"), 11,
       {kClient, u"", u"Body element not found in SOAP Envelope.", true}},
      {"SOAP 1.2: no Body, answered in SOAP 1.2", 12, Envelope(12, "<e:Header/>"), 12,
       {kSender, u"", u"Body element not found in SOAP Envelope.", true}},
      {"SOAP 1.1: encodingStyle on the Envelope is read", 11, Envelope(11, Body(""), style11), 11, {}},
      {"SOAP 1.2: encodingStyle on the Envelope is refused", 12, Envelope(12, Body(""), style12), 12,
       {kSender, u"", u"encodingStyle attribute not allowed on SOAP 1.2 Envelope element.", true}},
      {"SOAP 1.2: encodingStyle on the Header is refused", 12,
       Envelope(12, "<e:Header" + style12 + "/>" + Body("")), 12,
       {kSender, u"", u"encodingStyle attribute not allowed on SOAP 1.2 Header element.", true}},
      {"SOAP 1.2: encodingStyle on the Body is refused", 12,
       Envelope(12, "<e:Body" + style12 + "/>"), 12,
       {kSender, u"", u"encodingStyle attribute not allowed on SOAP 1.2 Body element.", true}},
      {"SOAP 1.2: an unprefixed encodingStyle on the Body is no SOAP attribute", 12,
       Envelope(12, "<e:Body encodingStyle='x'/>"), 12, {}},
      {"SOAP 1.2: a SOAP 1.1 encodingStyle on the Body is no SOAP 1.2 attribute", 12,
       Envelope(12, "<e:Body xmlns:o='" + env11 + "' o:encodingStyle='x'/>"), 12, {}},
  };
  ExpectRows(rows);
}

TEST(EnvelopeRules, BindingCheck) {
  auto noBinding = host::MemoryPort::Create();
  noBinding->Style(u"rpc");
  const struct {
    const char* why;
    qxcom::ComPtr<host::MemoryPort> port;
    int version;
    SeenFault fault;
  } rows[] = {
      {"a SOAP 1.1 request to a SOAP 1.2 port names SOAP 1.1", EchoPort(12), 11,
       {u"VersionMismatch", u"", u"SOAP 1.1 Binding not found in WSDL description for this port.",
        true}},
      {"a SOAP 1.2 request to a SOAP 1.1 port names SOAP 1.2", EchoPort(11), 12,
       {u"VersionMismatch", u"", u"SOAP 1.2 Binding not found in WSDL description for this port.",
        true}},
      {"a port without a binding namespace", noBinding, 11,
       {u"Server", u"", u"SOAP Binding not found in WSDL description for this port.", true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(row.port);
    EXPECT_FALSE(exchange.Deserialize(Envelope(row.version, Body("<m:echo/>"))));
    EXPECT_EQ(FaultOf(exchange.handler), row.fault);
    EXPECT_EQ(exchange.handler.GetSOAPVersion(), row.version) << "parsed before the check";
  }
  Exchange parseFirst(noBinding);
  EXPECT_FALSE(parseFirst.Deserialize("<broken"));
  EXPECT_EQ(parseFirst.handler.GetSOAPFaultString(), u"XML Parser: Parse Error on Line 1.")
      << "a parse fault comes first; the binding is then not checked";
}

TEST(EnvelopeRules, VersionFollowsTheLastEnvelope) {
  Exchange exchange(EchoPort(12));
  ASSERT_TRUE(exchange.Deserialize(Envelope(12, Body("<m:echo/>"))));
  EXPECT_EQ(exchange.handler.GetSOAPVersion(), 12);
  EXPECT_FALSE(exchange.Deserialize(Envelope(11, Body("<m:echo/>"))));
  EXPECT_EQ(exchange.handler.GetSOAPVersion(), 11) << "the binding check fails, after the parse";
  EXPECT_FALSE(exchange.Deserialize("<e:Envelope xmlns:e='urn:other'/>"));
  EXPECT_EQ(exchange.handler.GetSOAPVersion(), 11);
}

TEST(EnvelopeRules, SoapFaultStringAndReasonFollowTheVersion) {
  Exchange soap12(EchoPort(12));
  soap12.handler.SetFault11(u"Client", SOAP11_ENV_NS, u"earlier", u"", false);
  ASSERT_FALSE(soap12.Deserialize(Envelope(12, "<e:Header/>")));
  EXPECT_EQ(soap12.handler.GetSOAPFaultString(), u"earlier")
      << "under SOAP 1.2 the message is the reason text; the fault string stays";
  EXPECT_EQ(soap12.handler.GetSOAPFaultCodeNS(), SOAP12_ENV_NS);
  EXPECT_TRUE(soap12.handler.GetSOAPFaultNode().empty());
}

}  // namespace
}  // namespace qxsoap::testing
