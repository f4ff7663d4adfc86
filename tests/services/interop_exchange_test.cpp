// The interop service behind the handler, as `qxsoap serve` runs it: the
// handler reads an rpc/encoded SOAP 1.1 request against the port of
// examples/interop_rpc.wsdl and binds its parameters, and the service
// called by the bound method name with those parameters echoes them.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include <qxsoap/wsdl_port.h>
#include <qxsoapmsg.h>

#include "services/interop_environment.h"
#include "services/late_call.h"

namespace qxsoap::test {
namespace {

std::string Envelope(std::string_view call) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
             "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""
             " xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\""
             " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
             " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
             " xmlns:s=\"http://soapinterop.org/xsd\" xmlns:m=\"http://soapinterop.org/\""
             " SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
             "<SOAP-ENV:Body>") +
         std::string(call) + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

qxcom::Variant RequestBytes(const std::string& text) {
  std::vector<BYTE> bytes(text.begin(), text.end());
  return ByteArrayVariant(bytes);
}

std::u16string Text16(BSTR text) {
  std::u16string out(text ? text : u"", SysStringLen(text));
  SysFreeString(text);
  return out;
}

class InteropExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    host::WsdlError error;
    PortDescription* port = host::LoadWsdlPort(QXSOAP_EXAMPLES "/interop_rpc.wsdl", nullptr, &error);
    ASSERT_NE(port, nullptr) << error.file << ":" << error.line << ": " << error.message;
    port_ = qxcom::ComPtr<PortDescription>::Adopt(port);
    service_ = CreateInteropService();
    ASSERT_TRUE(service_);
  }

  // Runs the request through a new handler and the service; the service's
  // result as Describe writes it, or the fault or failure on the way.
  std::u16string Exchange(std::string_view call) {
    qxcom::ComPtr<IClassFactory> factory;
    qxcom::ComPtr<Iqxsoapmsg2> handler;
    if (FAILED(DllGetClassObject(CLSID_qxsoapmsg2, IID_IClassFactory,
                                 reinterpret_cast<void**>(factory.put()))) ||
        FAILED(factory->CreateInstance(nullptr, IID_Iqxsoapmsg2,
                                       reinterpret_cast<void**>(handler.put())))) {
      return u"no handler";
    }
    qxcom::Bstr action(SysAllocString(u"http://soapinterop.org/"));
    VARIANT_BOOL ok = VARIANT_FALSE;
    handler->Initialize(nullptr, nullptr, nullptr, action.get(), nullptr, VARIANT_FALSE,
                        VARIANT_FALSE, port_.get(), &ok);
    qxcom::Variant request = RequestBytes(Envelope(call));
    handler->SetBuffer(*request.get(), &ok);
    VARIANT_BOOL parsed = VARIANT_FALSE, bound = VARIANT_FALSE;
    handler->Deserialize(&parsed);
    if (parsed == VARIANT_TRUE) handler->ProcessRPC(&bound);
    if (bound != VARIANT_TRUE) {
      BSTR fault = nullptr;
      handler->GetSOAPFaultString(&fault);
      return u"fault: " + Text16(fault);
    }
    std::vector<qxcom::Variant> params;
    BSTR ns = nullptr, name = nullptr;
    VARIANT_BOOL in = 0, out = 0, more = 0;
    LONG position = 0;
    params.emplace_back();
    for (handler->GetFirstMethodParam(&ns, &name, params.back().get(), &in, &out, &position, &more);
         more == VARIANT_TRUE;
         handler->GetNextMethodParam(&ns, &name, params.back().get(), &in, &out, &position,
                                     &more)) {
      SysFreeString(ns);
      SysFreeString(name);
      params.emplace_back();
    }
    params.pop_back();  // the slot the last, empty step was offered
    std::vector<VARIANT*> args;
    for (qxcom::Variant& param : params) args.push_back(param.get());
    BSTR method = nullptr;
    handler->GetMethodName(&method);
    CallOutcome outcome = CallByName(*service_.get(), Text16(method), args);
    if (FAILED(outcome.hr)) return u"service failed";
    return Describe(*outcome.result.get());
  }

  qxcom::ComPtr<PortDescription> port_;
  qxcom::ComPtr<IDispatch> service_;
};

struct ExchangeRow {
  const char* why;
  const char* call;
  std::u16string echoed;
};

TEST_F(InteropExchange, EveryOperationEchoesWhatTheHandlerBound) {
  const ExchangeRow rows[] = {
      {"non-ASCII and astral text", "<m:echoString><inputString xsi:type=\"xsd:string\">"
       "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80</inputString></m:echoString>",
       u"'Gr\u00fc\u00dfe \U0001F600'"},
      {"an empty string", "<m:echoString><inputString xsi:type=\"xsd:string\"/></m:echoString>",
       u"''"},
      {"a string array", "<m:echoStringArray><inputStringArray "
       "SOAP-ENC:arrayType=\"xsd:string[2]\" xsi:type=\"SOAP-ENC:Array\"><item>a</item>"
       "<item> </item></inputStringArray></m:echoStringArray>", u"['a',' ']"},
      {"an empty array", "<m:echoStringArray><inputStringArray "
       "SOAP-ENC:arrayType=\"xsd:string[0]\" xsi:type=\"SOAP-ENC:Array\"/></m:echoStringArray>",
       u"[]"},
      {"INT_MIN", "<m:echoInteger><inputInteger xsi:type=\"xsd:int\">-2147483648</inputInteger>"
       "</m:echoInteger>", u"I4:-2147483648"},
      {"an integer array", "<m:echoIntegerArray><inputIntegerArray "
       "SOAP-ENC:arrayType=\"xsd:int[2]\"><item>2147483647</item><item>-1</item>"
       "</inputIntegerArray></m:echoIntegerArray>", u"[I4:2147483647,I4:-1]"},
      {"a negative float", "<m:echoFloat><inputFloat xsi:type=\"xsd:float\">-1.5E3</inputFloat>"
       "</m:echoFloat>", u"R4:-1500"},
      {"a float array", "<m:echoFloatArray><inputFloatArray SOAP-ENC:arrayType=\"xsd:float[2]\">"
       "<item>3.4028235E38</item><item>0.5</item></inputFloatArray></m:echoFloatArray>",
       u"[R4:3.4028235e+38,R4:0.5]"},
      {"a struct", "<m:echoStruct><inputStruct xsi:type=\"s:SOAPStruct\"><varString>x</varString>"
       "<varInt>7</varInt><varFloat>2.5</varFloat></inputStruct></m:echoStruct>",
       u"{varString='x';varInt=I4:7;varFloat=R4:2.5;}"},
      {"a struct array", "<m:echoStructArray><inputStructArray "
       "SOAP-ENC:arrayType=\"s:SOAPStruct[1]\"><item><varString/><varInt>0</varInt>"
       "<varFloat>-0.5</varFloat></item></inputStructArray></m:echoStructArray>",
       u"[{varString='';varInt=I4:0;varFloat=R4:-0.5;}]"},
      {"no parameters", "<m:echoVoid/>", u"EMPTY"},
      {"base64", "<m:echoBase64><inputBase64 xsi:type=\"xsd:base64Binary\">AAEC/w==</inputBase64>"
       "</m:echoBase64>", u"UI1[4]"},
      {"hexBinary", "<m:echoHexBinary><inputHexBinary xsi:type=\"xsd:hexBinary\">00FF10"
       "</inputHexBinary></m:echoHexBinary>", u"UI1[3]"},
      {"a date", "<m:echoDate><inputDate xsi:type=\"xsd:dateTime\">2001-02-03T04:05:06Z"
       "</inputDate></m:echoDate>", u"DATE:2001-02-03 04:05:06"},
      {"a decimal", "<m:echoDecimal><inputDecimal xsi:type=\"xsd:decimal\">-123.4500"
       "</inputDecimal></m:echoDecimal>", u"DECIMAL:-123.45"},
      {"a boolean", "<m:echoBoolean><inputBoolean xsi:type=\"xsd:boolean\">true</inputBoolean>"
       "</m:echoBoolean>", u"BOOL:True"},
  };
  for (const ExchangeRow& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Exchange(row.call), row.echoed);
  }
}

}  // namespace
}  // namespace qxsoap::test
