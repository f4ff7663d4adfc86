// ProcessRPC's operation lookup and SOAPAction check.
#include <gtest/gtest.h>

#include "request_test_support.h"

namespace qxsoap::testing {
namespace {

TEST(OperationLookup, OperationAndSoapAction) {
  auto required12 = EchoPort(12);
  required12->Operation(u"echo").Action(u"urn:m#echo", true);
  auto noAction = EchoPort(11);
  noAction->Operation(u"bare").Namespace(u"urn:m");
  const struct {
    const char* why;
    qxcom::ComPtr<host::MemoryPort> port;
    int version;
    std::string method;  // the wrapper element
    std::u16string action;
    SeenFault fault;  // code empty: the call is bound
  } rows[] = {
      {"SOAP 1.1: a known operation with its action", EchoPort(11), 11, "<m:echo/>", u"urn:m#echo",
       {}},
      {"SOAP 1.1: an unknown operation", EchoPort(11), 11, "<m:other/>", u"urn:m#echo",
       {u"Client", u"", u"Unrecognized Remote Procedure: '{urn:m}other'.", true}},
      {"SOAP 1.2: an unknown operation has the ProcedureNotPresent subcode", EchoPort(12), 12,
       "<m:other/>", u"", {u"Sender", u"ProcedureNotPresent", u"Unrecognized Remote Procedure: '{urn:m}other'.", true}},
      {"a namespace that differs only in case", EchoPort(11), 11, "<M:echo xmlns:M='urn:M'/>",
       u"urn:m#echo", {u"Client", u"", u"Unrecognized Remote Procedure: '{urn:M}echo'.", true}},
      {"SOAP 1.1: a quoted action does not match an unquoted one", EchoPort(11), 11, "<m:echo/>",
       u"\"urn:m#echo\"", {u"Client", u"", u"Unrecognized SOAPAction HTTP header: \"urn:m#echo\".", false}},
      {"SOAP 1.1: an empty action is checked too", EchoPort(11), 11, "<m:echo/>", u"",
       {u"Client", u"", u"Unrecognized SOAPAction HTTP header: .", false}},
      {"SOAP 1.2: any action passes when the operation does not require it", EchoPort(12), 12,
       "<m:echo/>", u"urn:anything", {}},
      {"SOAP 1.2: a required action is checked", required12, 12, "<m:echo/>", u"urn:wrong",
       {u"Sender", u"", u"Unrecognized SOAPAction HTTP header: urn:wrong.", false}},
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
}

TEST(OperationLookup, LongNamesAreCutAt511Characters) {
  Exchange exchange(EchoPort(11));
  const std::string name(600, 'n');
  ASSERT_TRUE(exchange.Deserialize(Envelope(11, Body("<m:" + name + "/>"))));
  EXPECT_FALSE(exchange.handler.ProcessRPC());
  const std::u16string message = exchange.handler.GetSOAPFaultString();
  EXPECT_EQ(message.size(), 511u);
  EXPECT_TRUE(message.starts_with(u"Unrecognized Remote Procedure: '{urn:m}nnn"));
}

TEST(OperationLookup, DocumentStylePortsLeaveTheMethodAlone) {
  auto port = EchoPort(11);
  port->Style(u"document");
  Exchange exchange(port);
  exchange.handler.SetMethodName(u"set by host");
  ASSERT_TRUE(exchange.Deserialize(Envelope(11, Body("<m:echo/>"))));
  EXPECT_EQ(exchange.handler.GetMethodName(), u"set by host");
}

}  // namespace
}  // namespace qxsoap::testing
