// Whole document/literal wrapped exchanges through a real handler: the
// interop service's WSDL served through its rpc view, requests as a
// document/literal client writes them, the parameters the handler binds,
// and the response it writes, compared byte for byte. (Strict clients
// check these responses against the WSDL's schemas in the interop test.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "encode/serializer_test_support.h"
#include "host/wrapped_document.h"
#include "rpc/production_engines.h"
#include "support/struct_object_reader.h"

namespace qxsoap::testing {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

struct Served {
  std::string fault;  // "subcode: reason" when the call was not bound
  std::string bound;  // every bound parameter as "name=value in|out|inout; "
  std::string response;
};

// One exchange as serve runs it on a wrapped port: the echo service's result
// (its one in parameter) becomes every out parameter's value, and the list
// keeps only the out parameters, since the response writes every entry.
Served Serve(std::string_view call) {
  host::WsdlError error;
  const auto port = qxcom::ComPtr<PortDescription>::Adopt(
      host::LoadServedPort(QXSOAP_EXAMPLES "/interop_doclit.wsdl", nullptr, &error));
  EXPECT_NE(port.get(), nullptr) << error.message;
  Served served;
  MessageHandler handler{ProductionEngines()};
  EXPECT_TRUE(handler.Initialize(u"InteropTestDocLitService", u"InteropTestDocLitPort", u"",
                                 u"http://soapinterop.org/", u"", false, false, port.get()));
  const std::string request = "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\"><env:Body>" +
                              std::string(call) + "</env:Body></env:Envelope>";
  EXPECT_TRUE(handler.SetBuffer({reinterpret_cast<const BYTE*>(request.data()), request.size()}));
  if (!handler.Deserialize() || !handler.ProcessRPC()) {
    LONG reason = 0;
    const std::optional<ReasonText> text = handler.GetFirstSOAP12ReasonText(reason);
    served.fault = Narrow(handler.GetSOAPFaultSubcode()) + ": " + (text ? Narrow(text->text) : "");
    return served;
  }
  struct Entry {
    std::u16string name;
    bool in, out;
  };
  std::vector<Entry> entries;
  qxcom::Variant result;
  LONG position = 0;
  for (const MethodParam* param = handler.GetFirstMethodParam(position); param;
       param = handler.GetNextMethodParam(position)) {
    served.bound += Narrow(param->name) + "=" + Narrow(test::Describe(*param->content.get())) +
                    (!param->isOutParam ? " in; " : param->isInParam ? " inout; " : " out; ");
    if (param->isInParam && V_VT(result.get()) == VT_EMPTY) {
      EXPECT_EQ(VariantCopy(result.get(), param->content.get()), S_OK);
    }
    entries.push_back({param->name, param->isInParam, param->isOutParam});
  }
  handler.ClearMethodParams();
  for (const Entry& entry : entries) {
    if (entry.out) {
      EXPECT_EQ(handler.AddMethodParam(u"", entry.name, result.get(), entry.in, true), S_OK);
    }
  }
  handler.SetRequestPhase(false);
  if (!handler.Serialize()) {
    served.fault = "serialize: " + Narrow(handler.GetSOAPFaultString());
    return served;
  }
  served.response = BufferText(handler);
  std::string complaint;
  EXPECT_TRUE(LibXmlAccepts(served.response, &complaint)) << complaint;
  EXPECT_EQ(served.response.rfind(kDeclaration, 0), 0u) << served.response;
  served.response.erase(0, std::strlen(kDeclaration));
  return served;
}

struct ExchangeRow {
  const char* why;
  const char* call;
  const char* bound;
  const char* result;  // the Body's child in the response
};

TEST(WrappedExchange, EchoesAsTheSchemaSays) {
  const ExchangeRow rows[] = {
      {"a string: the parameter unqualified, the result a plain `return` with no rpc:result",
       "<ns0:echoString xmlns:ns0=\"http://soapinterop.org/\"><inputString>hi</inputString>"
       "</ns0:echoString>",
       "inputString=BSTR:hi in; return=BSTR: out; ",
       "<m:echoStringResponse xmlns:m=\"http://soapinterop.org/\"><return>hi</return>"
       "</m:echoStringResponse>"},
      {"a literal array: items qualified in the types namespace",
       "<ns0:echoStringArray xmlns:ns0=\"http://soapinterop.org/\" "
       "xmlns:ns1=\"http://soapinterop.org/xsd\"><inputStringArray><ns1:string>a</ns1:string>"
       "<ns1:string></ns1:string></inputStringArray></ns0:echoStringArray>",
       "inputStringArray=ARRAY[BSTR:a,BSTR:] in; return=ARRAY(null) out; ",
       "<m:echoStringArrayResponse xmlns:m=\"http://soapinterop.org/\"><return>"
       "<nsb:string xmlns:nsb=\"http://soapinterop.org/xsd\">a</nsb:string>"
       "<nsb:string xmlns:nsb=\"http://soapinterop.org/xsd\" /></return>"
       "</m:echoStringArrayResponse>"},
      {"an empty literal array",
       "<ns0:echoStringArray xmlns:ns0=\"http://soapinterop.org/\"><inputStringArray/>"
       "</ns0:echoStringArray>",
       "inputStringArray=ARRAY[] in; return=ARRAY(null) out; ",
       "<m:echoStringArrayResponse xmlns:m=\"http://soapinterop.org/\"><return />"
       "</m:echoStringArrayResponse>"},
      {"a struct array: each item a qualified SOAPStruct element, its members qualified",
       "<ns0:echoStructArray xmlns:ns0=\"http://soapinterop.org/\" "
       "xmlns:ns1=\"http://soapinterop.org/xsd\"><inputStructArray><ns1:SOAPStruct>"
       "<ns1:varString>p</ns1:varString><ns1:varInt>-1</ns1:varInt><ns1:varFloat>1E3</ns1:varFloat>"
       "</ns1:SOAPStruct></inputStructArray></ns0:echoStructArray>",
       "inputStructArray=ARRAY[STRUCT{{http://soapinterop.org/xsd}varString=BSTR:p; "
       "{http://soapinterop.org/xsd}varInt=I4:-1; {http://soapinterop.org/xsd}varFloat=R4:1000}] in; "
       "return=ARRAY(null) out; ",
       "<m:echoStructArrayResponse xmlns:m=\"http://soapinterop.org/\"><return>"
       "<nss:SOAPStruct xmlns:nss=\"http://soapinterop.org/xsd\">"
       "<nsb:varString xmlns:nsb=\"http://soapinterop.org/xsd\">p</nsb:varString>"
       "<nsb:varInt xmlns:nsb=\"http://soapinterop.org/xsd\">-1</nsb:varInt>"
       "<nsb:varFloat xmlns:nsb=\"http://soapinterop.org/xsd\">1000</nsb:varFloat></nss:SOAPStruct>"
       "</return></m:echoStructArrayResponse>"},
      {"no parameters: an empty response wrapper",
       "<ns0:echoVoid xmlns:ns0=\"http://soapinterop.org/\"/>", "",
       "<m:echoVoidResponse xmlns:m=\"http://soapinterop.org/\" />"},
  };
  for (const ExchangeRow& row : rows) {
    SCOPED_TRACE(row.why);
    const Served served = Serve(row.call);
    ASSERT_EQ(served.fault, "");
    EXPECT_EQ(served.bound, row.bound);
    EXPECT_EQ(served.response,
              "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\"><SOAP-ENV:Body>" +
                  std::string(row.result) + "</SOAP-ENV:Body></SOAP-ENV:Envelope>");
  }
}

TEST(WrappedExchange, RefusesAChildTheRequestWrapperDoesNotDeclare) {
  const Served served = Serve("<ns0:echoString xmlns:ns0=\"http://soapinterop.org/\"><parameters>hi"
                              "</parameters></ns0:echoString>");
  EXPECT_EQ(served.fault, "BadArguments: Bad parameter: 'parameters'.");
}

}  // namespace
}  // namespace qxsoap::testing
