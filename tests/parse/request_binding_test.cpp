// Whole requests through Deserialize and ProcessRPC, as a host drives
// them: the parameters (in order, with types and in/out flags), the header
// blocks, the Body kept, and the faults of calls that do not bind. Requests
// are in the shapes real clients send. (The return value's name is the one
// the intermediary test's server answers under.)
#include <gtest/gtest.h>

#include <qxsoapmsg.h>

#include "request_test_support.h"
#include "support/wrapping_struct.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

constexpr std::u16string_view kInterop = u"http://soapinterop.org/";
const TypeName kStruct{u"SOAPStruct", u"http://soapinterop.org/xsd"};
const TypeName kStrings{u"ArrayOfstring", u"http://soapinterop.org/xsd"};
const TypeName kStructs{u"ArrayOfSOAPStruct", u"http://soapinterop.org/xsd"};

// The interop "base" service on an rpc binding of `version`.
qxcom::ComPtr<host::MemoryPort> InteropPort(int version) {
  auto port = host::MemoryPort::Create();
  const std::u16string_view style = version == 11 ? SOAP11_ENC_NS : SOAP12_ENC_NS;
  port->Binding(version == 11 ? WSDL_SOAP11_NS : WSDL_SOAP12_NS).Style(u"rpc");
  port->Struct(kStruct)
      .Member(u"varString", Xsd(u"string"))
      .Member(u"varInt", Xsd(u"int"))
      .Member(u"varFloat", Xsd(u"float"));
  port->Array(kStrings, Xsd(u"string"), 1, style);
  port->Array(kStructs, kStruct, 1, style);
  const auto operation = [&](std::u16string_view name) -> host::OperationBuilder {
    return port->Operation(name).Namespace(kInterop).Action(kInterop).Use(u"encoded").EncodingStyle(style);
  };
  operation(u"echoString").In(u"inputString", Xsd(u"string")).Return(u"return", Xsd(u"string"));
  operation(u"echoStringArray").In(u"inputStringArray", kStrings).Return(u"return", kStrings);
  operation(u"echoStruct").In(u"inputStruct", kStruct).Return(u"return", kStruct);
  operation(u"echoStructArray").In(u"inputStructArray", kStructs).Return(u"return", kStructs);
  operation(u"echoOdd").In(u"inputOdd", {u"Odd", u"urn:nowhere"});
  operation(u"divide")
      .In(u"a", Xsd(u"int"))
      .Out(u"remainder", Xsd(u"long"))
      .InOut(u"b", Xsd(u"int"))
      .Out(u"detail", kStruct)
      .Return(u"quotient", Xsd(u"int"));
  return port;
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

// Python's zeep: soap-env prefix, the method in ns0, no xsi:type.
constexpr std::string_view kZeep =
    "<?xml version='1.0' encoding='utf-8'?>\n"
    "<soap-env:Envelope xmlns:soap-env=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<soap-env:Body><ns0:echoString xmlns:ns0=\"http://soapinterop.org/\">"
    "<inputString>hello</inputString></ns0:echoString></soap-env:Body></soap-env:Envelope>";

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

// A SOAP 1.2 client: env/enc prefixes, a parameter by ref to a header block
// that has a role and relay.
constexpr std::string_view kSoap12 =
    "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\" "
    "xmlns:enc=\"http://www.w3.org/2003/05/soap-encoding\"><env:Header>"
    "<t:trace xmlns:t=\"urn:trace\" env:role=\"http://www.w3.org/2003/05/soap-envelope/role/next\" "
    "env:relay=\"true\" enc:id=\"t1\">x</t:trace></env:Header><env:Body>"
    "<m:echoString xmlns:m=\"http://soapinterop.org/\" "
    "env:encodingStyle=\"http://www.w3.org/2003/05/soap-encoding\">"
    "<inputString enc:ref=\"t1\"/></m:echoString></env:Body></env:Envelope>";

// UTF-16 little-endian after its byte-order mark (every form of the mark
// is read by the XML suite; this shows the handler hands over the bytes).
std::string Utf16(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += {c, '\0'};
  return bytes;
}

std::string Soap11(std::string_view body, std::string_view header = "") {
  return "<SOAP-ENV:Envelope xmlns:SOAP-ENV='http://schemas.xmlsoap.org/soap/envelope/'"
         " xmlns:SOAP-ENC='http://schemas.xmlsoap.org/soap/encoding/'"
         " xmlns:xsd='http://www.w3.org/2001/XMLSchema'"
         " xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'"
         " xmlns:ns1='http://soapinterop.org/' xmlns:ns2='http://soapinterop.org/xsd'"
         " SOAP-ENV:encodingStyle='http://schemas.xmlsoap.org/soap/encoding/'>" +
         (header.empty() ? std::string() : "<SOAP-ENV:Header>" + std::string(header) + "</SOAP-ENV:Header>") +
         "<SOAP-ENV:Body>" + std::string(body) + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

std::string Soap12(std::string_view body) {
  return "<env:Envelope xmlns:env='http://www.w3.org/2003/05/soap-envelope'"
         " xmlns:enc='http://www.w3.org/2003/05/soap-encoding'"
         " xmlns:ns1='http://soapinterop.org/'><env:Body>" + std::string(body) + "</env:Body></env:Envelope>";
}

TEST(RequestBinding, EncodedCallsAsClientsSendThemAndThoseThatDoNotBind) {
  const std::u16string hello = u"inputString in = BSTR:hello\n";
  const struct {
    const char* why;
    int version;
    std::string message;
    std::u16string parameters;  // empty: the call faults with `fault`
    SeenFault fault;
  } rows[] = {
      {"PHP SoapClient", 11, std::string(kPhp), u"inputStringArray in = ARRAY[BSTR:a,BSTR:b]\n", {}},
      {"Python zeep", 11, std::string(kZeep), hello, {}},
      {".NET/Axis: a struct as a multi-reference value", 11, std::string(kMultiRef),
       u"inputStruct in = STRUCT{varString=BSTR:s; varInt=I4:1; varFloat=R4:1.5}\n", {}},
      {"a SOAP 1.2 client", 12, std::string(kSoap12), u"inputString in = BSTR:x\n", {}},
      {"UTF-16 little-endian with a byte-order mark", 11, Utf16(kZeep.substr(38)), hello, {}},
      {"an array of structs, items by reference, one shared twice", 11,
       Soap11("<ns1:echoStructArray><inputStructArray SOAP-ENC:arrayType='ns2:SOAPStruct[3]'>"
              "<item href='#a'/><item href='#b'/><item href='#a'/></inputStructArray>"
              "</ns1:echoStructArray><multiRef id='b' SOAP-ENC:root='0'><varInt>2</varInt></multiRef>"
              "<multiRef id='a' SOAP-ENC:root='0'><varInt>1</varInt></multiRef>"),
       u"inputStructArray in = ARRAY[STRUCT{varInt=I4:1},STRUCT{varInt=I4:2},STRUCT{varInt=I4:1}]\n", {}},
      {"out-only placeholders follow, in WSDL position order, typed by the output parts", 11,
       Soap11("<ns1:divide><b>3</b><a>7</a></ns1:divide>"),
       u"b in out = I4:3\na in = I4:7\nremainder out = I4:0\ndetail out = DISPATCH\n", {}},
      // Calls that do not bind. The BadArguments subcode of SOAP 1.2 binding
      // faults is read by the wrapped exchanges and call_test.py.
      {"a parameter the input message does not declare", 11,
       Soap11("<ns1:echoString><other>x</other></ns1:echoString>"), u"",
       {u"Client", u"", u"Bad parameter: 'other'.", true}},
      {"a reference to nowhere", 11,
       Soap11("<ns1:echoString><inputString href='#gone'/></ns1:echoString>"), u"",
       {u"Client", u"", u"Parameter: 'inputString' has invalid reference.", true}},
      {"SOAP 1.2: a reference to nowhere is MissingID", 12,
       Soap12("<ns1:echoString><inputString enc:ref='gone'/></ns1:echoString>"), u"",
       {u"Sender", u"MissingID", u"Parameter: 'inputString' has invalid reference.", true}},
      {"SOAP 1.1: another encodingStyle on the wrapper", 11,
       Soap11("<ns1:echoString SOAP-ENV:encodingStyle='urn:mine'><inputString>x</inputString>"
              "</ns1:echoString>"),
       u"", {u"Client", u"", u"Unsupported encodingStyle on method wrapper.", true}},
      {"SOAP 1.2: encoding none on the wrapper passes", 12,
       Soap12("<ns1:echoString env:encodingStyle='http://www.w3.org/2003/05/soap-envelope/encoding/"
              "none'/>"),
       u"", {}},
      {"a parameter whose type the port cannot name", 11,
       Soap11("<ns1:echoOdd><inputOdd>1</inputOdd></ns1:echoOdd>"), u"",
       {u"Client", u"", u"Encountered accessor with unrecognized type.", true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(InteropPort(row.version), kInterop);
    ASSERT_TRUE(exchange.Deserialize(row.message)) << FaultText(exchange.handler);
    const bool bound = exchange.handler.ProcessRPC();
    EXPECT_EQ(bound, row.fault.code.empty());
    EXPECT_EQ(bound ? Parameters(exchange.handler) : u"", row.parameters);
    if (!bound) {
      EXPECT_EQ(FaultOf(exchange.handler), row.fault);
    }
  }
}

// One of the module's own struct objects, made through its class factory.
qxcom::ComPtr<StructObject> ModuleStruct() {
  qxcom::ComPtr<IClassFactory> factory;
  qxcom::ComPtr<StructObject> own;
  EXPECT_EQ(DllGetClassObject(CLSID_StructObject, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_StructObject, reinterpret_cast<void**>(own.put())), S_OK);
  return own;
}

// The struct class a host registers in place of the module's: each object
// wraps one of the module's, which it fills through AddMember alone. The
// factory owns what it made.
class HostStructFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
    return made.emplace_back(std::make_unique<test::WrappingStruct>(ModuleStruct()))->QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  std::vector<std::unique_ptr<test::WrappingStruct>> made;
};

// Member names reach such an object as BSTRs of their own length, long ones
// too; the values as the module's own objects would hold them.
TEST(RequestBinding, StructsOfAHostRegisteredClassGetTheirMembersThroughAddMember) {
  const std::u16string longName(80, u'n');
  auto port = InteropPort(11);
  port->Struct({u"Wide", u"urn:w"}).Member(longName, Xsd(u"int")).Member(u"v", Xsd(u"string"));
  port->Operation(u"echoWide").Namespace(kInterop).Action(kInterop).Use(u"encoded").In(u"w", {u"Wide", u"urn:w"});
  HostStructFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_StructObject, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  Exchange exchange(port, kInterop);
  const bool read = exchange.Deserialize(Soap11("<ns1:echoWide><w><" + std::string(80, 'n') + ">7</" +
                                                std::string(80, 'n') + "><v>x</v></w></ns1:echoWide>"));
  const bool bound = read && exchange.handler.ProcessRPC();
  CoRevokeClassObject(cookie);
  ASSERT_TRUE(bound) << FaultText(exchange.handler);
  EXPECT_EQ(Parameters(exchange.handler), u"w in = STRUCT{" + longName + u"=I4:7; v=BSTR:x}\n");
  EXPECT_EQ(factory.made.size(), 1u);
}

TEST(RequestBinding, HeaderBlocks) {
  auto port = InteropPort(11);
  port->HeaderType({u"Session", u"urn:s"}, Xsd(u"int"));
  port->HeaderType({u"Point", u"urn:s"}, kStruct);
  Exchange exchange(port, kInterop);
  ASSERT_TRUE(exchange.Deserialize(Soap11(
      "<ns1:echoString><inputString>x</inputString></ns1:echoString>"
      "<v id='v1' SOAP-ENC:root='0'>41</v>",
      "<s:Session xmlns:s='urn:s' SOAP-ENV:mustUnderstand='1'>42</s:Session>"
      "<s:Point xmlns:s='urn:s' href='#p1'/>"
      "<s:Session xmlns:s='urn:s' href='#v1' SOAP-ENV:actor='urn:other'/>"
      "<s:P id='p1' SOAP-ENC:root='0' xmlns:s='urn:s'><varInt>5</varInt></s:P>"
      "<t:Trace xmlns:t='urn:t' SOAP-ENV:encodingStyle='urn:mine'><hop>a</hop></t:Trace>")))
      << FaultText(exchange.handler);
  std::u16string typed;
  LONG position = 0;
  for (const HeaderElem* block = exchange.handler.GetFirstHeaderElem(position); block;
       block = exchange.handler.GetNextHeaderElem(position)) {
    typed += block->name + (block->mustUnderstand ? u" mu" : u"") + u" [" + block->actorURI +
             u"] = " + test::Describe(*block->content.get()) + u"\n";
  }
  EXPECT_EQ(typed,
            u"Session mu [] = I4:42\nPoint [] = STRUCT{varInt=I4:5}\nSession [urn:other] = I4:41\n");
  // Literal blocks: the root="0" value (an independent value, not a block
  // to read) and the block in a style of its own.
  std::u16string literal;
  position = 0;
  for (const HeaderElemLiteral* block = exchange.handler.GetFirstHeaderElemLiteral(position); block;
       block = exchange.handler.GetNextHeaderElemLiteral(position)) {
    literal += block->name + u" (" + block->encodingStyle + u")\n";
  }
  EXPECT_EQ(literal, u"P (http://schemas.xmlsoap.org/soap/encoding/)\nTrace (urn:mine)\n");

  Exchange failing(port, kInterop);
  EXPECT_FALSE(failing.Deserialize(Soap11("<ns1:echoString/>", "<s:Session xmlns:s='urn:s' href='#gone'/>")));
  EXPECT_EQ(FaultOf(failing.handler),
            (SeenFault{u"Client", u"", u"Header block: 'Session' has invalid reference.", false}))
      << "a header block's fault asks for no detail element";
}

TEST(RequestBinding, GetCalls) {
  auto port = InteropPort(11);
  port->Operation(u"getQuote")
      .Namespace(kInterop)
      .Out(u"price", Xsd(u"double"))
      .Out(u"when", Xsd(u"dateTime"))
      .Out(u"symbols", kStrings)
      .Return(u"result", Xsd(u"string"));
  // A placeholder per output part, typed by it; "ARRAY(null)" is a null
  // array. Paths naming no operation are answered 404 in serve_test.py.
  Exchange quote(port);
  EXPECT_TRUE(quote.handler.ProcessRPCGet(u"/svc", u"/getQuote/IBM/x", u"a=1&b=%20"));
  EXPECT_EQ(Parameters(quote.handler),
            u"bstrExtraPath in = BSTR:/IBM/x\nbstrQueryString in = BSTR:a=1&b=%20\n"
            u"price out = R8:0\nwhen out = DATE:0\nsymbols out = ARRAY(null)\n");
  // An input-only part has no placeholder, and the call fails.
  Exchange exchange(InteropPort(11));
  EXPECT_FALSE(exchange.handler.ProcessRPCGet(u"", u"/echoString", u""));
  EXPECT_EQ(exchange.handler.GetSOAPFaultCode(), u"Receiver") << "recorded in the SOAP 1.2 form";
  std::u16string reason;
  exchange.handler.GetSOAP12ReasonText(u"en", &reason);
  EXPECT_EQ(reason, u"Unexpected error handling SOAP GET request.");
  EXPECT_EQ(exchange.handler.GetNumMethodParams(), 2) << "the two text parameters stay";
}

// The Body as received goes on from an intermediary (intermediary test).
TEST(RequestBinding, TheBodyKeepsItsEncodingStyleAndOutlivesAFailedParse) {
  Exchange exchange(InteropPort(11));
  ASSERT_TRUE(exchange.Deserialize(kMultiRef));
  EXPECT_TRUE(exchange.handler.BodyLiteral()->EncodingStyle().empty()) << "this Body has none";

  ASSERT_TRUE(exchange.Deserialize(kPhp));
  EXPECT_EQ(exchange.handler.BodyLiteral()->EncodingStyle(), std::u16string_view(SOAP11_ENC_NS))
      << "inherited from the Envelope";
  EXPECT_FALSE(exchange.Deserialize("<not closed"));
  std::u16string body;
  ASSERT_TRUE(exchange.handler.GetBodyElemLiteral(&body));
  EXPECT_NE(body.find(u"echoStringArray"), std::u16string::npos)
      << "the Body of the last good parse stays readable (its tree stays alive)";
}

}  // namespace
}  // namespace qxsoap::testing
