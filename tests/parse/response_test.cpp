// Replies from the next hop read by an intermediary in its response phase:
// both fault forms with their codes, reasons and details, RPC results by
// position or by the SOAP 1.2 result name, output parameters by reference,
// header blocks typed by the output or fault headers, and the faults of
// replies that do not read or bind.
#include <gtest/gtest.h>

#include "request_test_support.h"

namespace qxsoap::testing {
namespace {

using host::Xsd;

constexpr std::string_view kRpc12 = "http://www.w3.org/2003/05/soap-rpc";

// echo(text in, count in/out) returns a string and puts out a Pair; its
// output and fault messages declare header blocks and fault details.
qxcom::ComPtr<host::MemoryPort> ReplyPort(int version) {
  auto port = EchoPort(version);
  const std::u16string style(version == 11 ? SOAP11_ENC_NS : SOAP12_ENC_NS);
  port->Struct({u"Pair", u"urn:t"}).Member(u"a", Xsd(u"int")).Member(u"b", Xsd(u"string"));
  port->Operation(u"echo")
      .EncodingStyle(style)
      .In(u"text", Xsd(u"string"))
      .InOut(u"count", Xsd(u"int"))
      .Out(u"pair", {u"Pair", u"urn:t"})
      .Return(u"return", Xsd(u"string"))
      .OutputHeader({u"session", u"urn:h"}, Xsd(u"int"), style)
      .FaultHeader({u"trace", u"urn:h"}, Xsd(u"string"), style)
      .FaultDetail({u"code", u"urn:d"}, Xsd(u"int"))
      .FaultDetail({u"reason", u"urn:d"}, Xsd(u"string"), u"encoded", style);
  return port;
}

// An intermediary's handler that forwarded the call echo in urn:m and now
// reads the reply.
struct Reply : Exchange {
  explicit Reply(int version) : Exchange(ReplyPort(version), u"urn:m#echo", u"http://next.example/") {
    handler.SetMethodName(u"echo");
    handler.SetMethodNS(u"urn:m");
    handler.SetRequestPhase(false);
  }
};

std::string Rpc12(std::string_view result) {
  return "<r:result xmlns:r='" + std::string(kRpc12) + "'>" + std::string(result) + "</r:result>";
}

// A received fault as the host reads it, names with their namespaces.
struct ReceivedFault {
  std::u16string code, codeNS, subcode, subcodeNS, message, node;
  bool operator==(const ReceivedFault&) const = default;
};

ReceivedFault ReceivedOf(const MessageHandler& handler) {
  const SeenFault seen = FaultOf(handler);
  return {seen.code,        handler.GetSOAPFaultCodeNS(), seen.subcode,
          handler.GetSOAPFaultSubcodeNS(), seen.message, handler.GetSOAPFaultNode()};
}

void PrintTo(const ReceivedFault& fault, std::ostream* out) {
  for (const std::u16string* field : {&fault.code, &fault.codeNS, &fault.subcode, &fault.subcodeNS,
                                      &fault.message, &fault.node}) {
    *out << "[" << Narrow(*field) << "]";
  }
}

TEST(ReplyFaults, BothFormsBecomeTheHandlersFaultNotRaisedHere) {
  const std::u16string env11(SOAP11_ENV_NS), env12(SOAP12_ENV_NS);
  const struct {
    const char* why;
    int version;
    std::string body;
    ReceivedFault fault;
  } rows[] = {
      {"SOAP 1.1: an unprefixed code takes the default namespace of an ancestor", 11,
       "<e:Fault xmlns='urn:d'><faultcode>Client</faultcode><faultstring>no</faultstring></e:Fault>",
       {u"Client", u"urn:d", u"", u"", u"no", u""}},
      {"SOAP 1.1: a second Fault is not read", 11,
       "<e:Fault><faultcode>e:Server</faultcode></e:Fault>"
       "<e:Fault><faultcode>e:Client</faultcode></e:Fault>",
       {u"Server", env11, u"", u"", u"", u""}},
      {"SOAP 1.1: a fault without faultcode is passed on as it came, with no code", 11,
       "<e:Fault><faultstring>odd</faultstring></e:Fault>", {u"", u"", u"", u"", u"odd", u""}},
      {"SOAP 1.2: code, one level of subcode, reasons and node", 12,
       "<e:Fault><e:Code><e:Value>e:Sender</e:Value><e:Subcode><e:Value>m:Busy</e:Value>"
       "<e:Subcode><e:Value>m:Deeper</e:Value></e:Subcode></e:Subcode></e:Code>"
       "<e:Reason><e:Text xml:lang='de'>besetzt</e:Text><e:Text xml:lang='en'>busy</e:Text>"
       "</e:Reason><e:Node>urn:n</e:Node><e:Role>urn:r</e:Role></e:Fault>",
       {u"Sender", env12, u"Busy", u"urn:m", u"busy", u"urn:n"}},
      {"SOAP 1.2: a later Text of one language replaces the earlier", 12,
       "<e:Fault><e:Code><e:Value>e:Receiver</e:Value></e:Code><e:Reason>"
       "<e:Text xml:lang='en'>first</e:Text><e:Text xml:lang='en'>last</e:Text></e:Reason></e:Fault>",
       {u"Receiver", env12, u"", u"", u"last", u""}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Reply reply(row.version);
    ASSERT_TRUE(reply.Deserialize(Envelope(row.version, Body(row.body))));
    EXPECT_TRUE(reply.handler.IsSOAPFault());
    EXPECT_FALSE(reply.handler.IsFaultRaisedHere()) << "the fault came from the next hop";
    EXPECT_EQ(ReceivedOf(reply.handler), row.fault);
    EXPECT_FALSE(reply.handler.ProcessRPC()) << "a fault has no result to bind";
    EXPECT_EQ(ReceivedOf(reply.handler), row.fault) << "binding keeps the received fault";
  }
  Reply reply(12);
  ASSERT_TRUE(reply.Deserialize(Envelope(12, Body(rows[3].body))));
  std::u16string german;
  EXPECT_TRUE(reply.handler.GetSOAP12ReasonText(u"de", &german));
  EXPECT_EQ(german, u"besetzt");
}

TEST(ReplyFaults, DetailEntriesAreReadByThePortsFaultDetails) {
  Reply reply(11);
  ASSERT_TRUE(reply.Deserialize(Envelope(
      11, Body("<e:Fault><faultcode>e:Server</faultcode><faultstring>bad</faultstring><detail>"
               "<d:code xmlns:d='urn:d'>4</d:code><d:unknown xmlns:d='urn:d'>?</d:unknown>"
               "<d:reason xmlns:d='urn:d' href='#r'/></detail></e:Fault>"
               "<multiRef id='r' enc:root='0'>why</multiRef>"))));
  std::u16string entries;
  LONG position = 0;
  for (const ElemRecord* entry = reply.handler.GetFirstFaultDetailElem(position); entry;
       entry = reply.handler.GetNextFaultDetailElem(position)) {
    entries += entry->name + u"=" + test::Describe(*entry->content.get()) + u";";
  }
  EXPECT_EQ(entries, u"code=I4:4;reason=BSTR:why;")
      << "a literal entry, an encoded one by reference, and the undescribed one left out";
  EXPECT_TRUE(reply.handler.NeedsFaultDetail());

  Reply soap12(12);
  ASSERT_TRUE(soap12.Deserialize(Envelope(
      12, Body("<e:Fault><e:Code><e:Value>e:Receiver</e:Value></e:Code><e:Detail>"
               "<d:code xmlns:d='urn:d'>5</d:code></e:Detail></e:Fault>"))));
  VARIANT code;
  VariantInit(&code);
  bool found = false;
  EXPECT_EQ(soap12.handler.GetFaultDetailElem(u"urn:d", u"code", &code, &found), S_OK);
  EXPECT_TRUE(found);
  EXPECT_EQ(test::Describe(code), u"I4:5");
}

TEST(ReplyResults, ReturnValueAndOutputParameters) {
  const struct {
    const char* why;
    int version;
    std::string body;
    std::u16string returnValue;
    std::u16string parameters;
  } rows[] = {
      {"SOAP 1.1: the first accessor is the return value; values by reference", 11,
       "<m:echoResponse><return href='#r'/><count>3</count><pair href='#p'/></m:echoResponse>"
       "<multiRef id='r' enc:root='0'>hi</multiRef>"
       "<multiRef id='p' enc:root='0'><a>1</a><b>x</b></multiRef>",
       u"BSTR:hi", u"count in out = I4:3\npair out = STRUCT{a=I4:1; b=BSTR:x}\n"},
      {"SOAP 1.1: an independent element before the wrapper is not the wrapper", 11,
       "<multiRef id='r' enc:root='0'>hi</multiRef><m:echoResponse><return href='#r'/></m:echoResponse>",
       u"BSTR:hi", u""},
      {"SOAP 1.1: a first accessor that is a parameter leaves no return value", 11,
       "<m:echoResponse><count>3</count><return>hi</return></m:echoResponse>", u"EMPTY",
       u"count in out = I4:3\nreturn out = BSTR:hi\n"},
      {"SOAP 1.2: the result element names a qualified accessor", 12,
       "<m:echoResponse>" + Rpc12("m:return") + "<count>3</count><m:return>hi</m:return></m:echoResponse>",
       u"BSTR:hi", u"count in out = I4:3\n"},
      {"SOAP 1.2: a result name no accessor has gives null", 12,
       "<m:echoResponse>" + Rpc12("m:nothing") + "<count>3</count></m:echoResponse>", u"NULL",
       u"count in out = I4:3\n"},
      {"SOAP 1.2: without a result element every accessor is a parameter", 12,
       "<m:echoResponse><return>hi</return></m:echoResponse>", u"EMPTY", u"return out = BSTR:hi\n"},
      {"SOAP 1.2: children of the Body after the wrapper are not read", 12,
       "<m:echoResponse><count>3</count></m:echoResponse><m:junk enc:arraySize='bad'/>", u"EMPTY",
       u"count in out = I4:3\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Reply reply(row.version);
    ASSERT_TRUE(reply.Deserialize(Envelope(row.version, Body(row.body))));
    ASSERT_TRUE(reply.handler.ProcessRPC()) << FaultText(reply.handler);
    EXPECT_EQ(test::Describe(reply.handler.ReturnValue()), row.returnValue);
    EXPECT_EQ(Parameters(reply.handler), row.parameters);
  }
}

// Replies that end the parse (QNames that do not resolve, ids, details) and
// results that read but do not bind.
TEST(ReplyFaults, RepliesThatDoNotReadOrBind) {
  const struct {
    const char* why;
    int version;
    std::string body;
    bool read;  // the parse passes and binding fails
    SeenFault fault;
  } rows[] = {
      {"an unprefixed fault code with no default namespace", 11,
       "<e:Fault><faultcode>Client</faultcode></e:Fault>", false,
       {u"Client", u"", u"Unresolvable namespace for value of fault code element in Fault message.", true}},
      {"a fault code with an undeclared prefix, not trimmed", 11,
       "<e:Fault><faultcode> e:Server</faultcode></e:Fault>", false,
       {u"Client", u"",
        u"Encountered undeclared namespace prefix for value of fault code element in Fault message.", true}},
      {"SOAP 1.2: a result name with an undeclared prefix", 12,
       "<m:echoResponse>" + Rpc12("x:return") + "</m:echoResponse>", false,
       {u"Sender", u"", u"Encountered undeclared namespace prefix for QName in RPC 'result' element.", true}},
      {"an encoded detail entry in another encodingStyle", 11,
       "<e:Fault><faultcode>e:Server</faultcode><detail><d:reason xmlns:d='urn:d' "
       "e:encodingStyle='urn:other'>x</d:reason></detail></e:Fault>", false,
       {u"Client", u"", u"Failed to convert element: 'reason' in Fault detail.", true}},
      {"an encoded detail entry that refers to nowhere", 11,
       "<e:Fault><faultcode>e:Server</faultcode><detail><d:reason xmlns:d='urn:d' href='#gone'/>"
       "</detail></e:Fault>", false,
       {u"Client", u"", u"Failed to convert element: 'reason' in Fault detail.", true}},
      {"SOAP 1.1: another encodingStyle on the wrapper", 11,
       "<m:echoResponse e:encodingStyle='urn:other'><count>3</count></m:echoResponse>", true,
       {u"Client", u"", u"encodingStyle on method wrapper conflicts with WSDL definition.", true}},
      {"SOAP 1.2: an accessor the output message does not declare", 12,
       "<m:echoResponse><other>1</other></m:echoResponse>", true,
       {u"Sender", u"BadArguments", u"Bad parameter: 'other'.", true}},
      {"SOAP 1.2: a reply with no wrapper", 12, "", true,
       {u"Sender", u"", u"Unable to process RPC representation in SOAP message.", true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Reply reply(row.version);
    EXPECT_EQ(reply.Deserialize(Envelope(row.version, Body(row.body))), row.read);
    if (row.read) {
      EXPECT_FALSE(reply.handler.ProcessRPC());
    }
    EXPECT_EQ(FaultOf(reply.handler), row.fault);
  }
}

// Blocks are typed by the output headers of a result and the fault headers
// of a fault: `trace` is only a fault header, so in a result it stays XML.
TEST(ReplyHeaders, AreTypedByTheOutputOrFaultHeaders) {
  const std::string header =
      "<e:Header><h:session xmlns:h='urn:h' e:encodingStyle='http://www.w3.org/2003/05/soap-encoding'>5"
      "</h:session><h:trace xmlns:h='urn:h' e:encodingStyle='http://www.w3.org/2003/05/soap-encoding'>t"
      "</h:trace></e:Header>";
  const auto blocks = [](const MessageHandler& handler) {
    std::u16string text;
    LONG position = 0;
    for (const HeaderElem* block = handler.GetFirstHeaderElem(position); block;
         block = handler.GetNextHeaderElem(position)) {
      text += block->name + u"=" + test::Describe(*block->content.get()) + u";";
    }
    text += u" literal:";
    for (const HeaderElemLiteral* block = handler.GetFirstHeaderElemLiteral(position); block;
         block = handler.GetNextHeaderElemLiteral(position)) {
      text += block->name + u";";
    }
    return text;
  };
  Reply result(12);
  ASSERT_TRUE(result.Deserialize(Envelope(12, header + Body("<m:echoResponse/>"))));
  EXPECT_EQ(blocks(result.handler), u"session=I4:5; literal:trace;");
  EXPECT_EQ(result.handler.Roles().Size(), 0u) << "a reply adds no role";

  Reply fault(12);
  ASSERT_TRUE(fault.Deserialize(Envelope(
      12, header + Body("<e:Fault><e:Code><e:Value>e:Receiver</e:Value></e:Code></e:Fault>"))));
  EXPECT_EQ(blocks(fault.handler), u"trace=BSTR:t; literal:session;");
}

}  // namespace
}  // namespace qxsoap::testing
