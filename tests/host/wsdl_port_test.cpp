// A port description read from a WSDL file answers each PortDescription
// call as a reader of that WSDL expects, "not found" included: the samples
// here, and the interop service's WSDL files in examples/ with the port the
// handler needs for each binding.
#include "qxsoap/wsdl_port.h"

#include <gtest/gtest.h>

#include <string>

#include "host/port_questions.h"

namespace qxsoap::host {
namespace {

using test::CheckWsdl;
using test::kEnc11;

const std::string kSamples = QXSOAP_WSDL_SAMPLES "/";
const std::string kExamples = QXSOAP_EXAMPLES "/";

TEST(WsdlPortTest, RpcEncodedSoap11Parts) {
  CheckWsdl(kSamples + "base_rpc11.wsdl", {},
            {{"style", "rpc"},
             {"address", "interop.example.org /base/endpoint:80"},  // no port in the URL
             {"action divide", ""},  // an empty soapAction is found
             {"action swap", "-"},   // no soapAction attribute
             {"required swap", "true"},  // SOAP 1.1 requires an action it does not name
             {"ns divide", "urn:divide"}, {"inStyle divide", "-"},
             // parameterOrder sets the positions; the part it leaves out is the return
             {"walk divide", "divisor@0 dividend@1 remainder@2 quotient@3 "},
             {"return divide quotient", "xsd:int"}, {"return divide dividend", "-"}, {"in divide quotient", "-"},
             {"param divide quotient", "false"}, {"param divide dividend", "true"},
             {"isOut divide remainder", "true"}, {"isIn divide remainder", "false"},
             {"position divide dividend", "1"}, {"position divide quotient", "-"},
             // parts in both messages are in/out, in the input message's order, with no return
             {"isOut swap a", "true"}, {"walk swap", "a@0 b@1 "}});
}

TEST(WsdlPortTest, DocumentLiteralSoap12Elements) {
  CheckWsdl(kSamples + "base_doc12.wsdl", {{"d", "http://example.org/interop/doc"}},
            {{"binding", "http://schemas.xmlsoap.org/wsdl/soap12/"},
             {"address", "[2001:db8::1] /doc:8443"},
             {"required echoIntegerArray", "false"}, {"required ping", "true"},
             {"outUse ping", "-"},  // one-way
             {"inUse ping", "-"},   // no use attribute
             {"return echoIntegerArray result", "d:ArrayOfInt"},
             {"in ping ping", "xsd:string"},
             {"member d:echoIntegerArray d:inputInteger", "xsd:int"},
             {"literal d:echoIntegerArray", "xsd:int d:inputInteger"},  // unbounded element
             {"literal d:ArrayOfInt", "xsd:int item"},                  // maxOccurs above one
             {"member d:ArrayOfInt item", "xsd:int"}, {"base d:ArrayOfInt", "d:ArrayOfInt"},
             {"base d:echoIntegerArrayResponse", "-"}});  // an element of a named type is no type
}

TEST(WsdlPortTest, HeadersAndFaults) {
  CheckWsdl(kSamples + "headers_faults.wsdl",
            {{"b", "urn:bank:types"}, {"r", "urn:bank:receipt"}, {"f", "urn:bank:faults"}, {"o", "urn:other"}},
            {{"address", "bank.example.org /:8080"},
             {"walk withdraw", "account@0 amount@1 balance@2 "},  // a header part is no body part
             {"in withdraw session", "-"},
             {"inHeader withdraw b:Session", "b:Session"},  // an element header, keyed by the element
             {"outHeader withdraw b:Session", "-"},
             {"outHeader withdraw r:receiptId", "xsd:long"},  // a typed header: part name, soap:header namespace
             {"inHeaderStyle withdraw b:Session", "-"}, {"outHeaderStyle withdraw r:receiptId", kEnc11},
             {"faultHeader withdraw b:SessionExpired", "xsd:string"},
             {"header r:receiptId", "xsd:long"}, {"header b:SessionExpired", "xsd:string"}, {"header o:Session", "-"},
             {"detail withdraw b:Insufficient", "b:InsufficientFunds"}, {"detailUse withdraw b:Insufficient", "literal"},
             {"detail withdraw f:lockedUntil", "xsd:dateTime"},  // a typed detail, soap:fault namespace
             {"detailStyle withdraw f:lockedUntil", kEnc11}, {"detail deposit b:Insufficient", "-"}});
}

// What the reader understood of shapes.wsdl is checked whole through
// `qxsoap wsdl` (shapes.expected); these rows are what the port adds.
TEST(WsdlPortTest, DerivedStructsAndSoap12Arrays) {
  CheckWsdl(kSamples + "shapes.wsdl", {{"g", "urn:draw:geometry"}, {"d", "urn:draw:doc"}},
            {{"base g:Circle", "g:Shape"}, {"member g:Circle origin", "g:Point"}, {"base g:Color", "xsd:string"},
             {"item g:Grid12", "g:Point"}, {"rank g:Grid12", "3"}, {"base g:Grid12", "enc12:Array"},
             {"member d:Drawing d:Title", "xsd:string"}, {"member d:Drawing frame", "g:Circle"}});
}

TEST(WsdlPortTest, TypesFromAnImportedSchemaFile) {
  CheckWsdl(kSamples + "split.wsdl", {{"c", "urn:catalog:types"}},
            {{"style", "document"},  // no style attribute
             {"ns find", "urn:catalog:messages"}, {"member c:Query c:limit", "xsd:int"},
             {"literal c:Items", "c:Item c:item"}, {"out find parameters", "c:Items"}});
}

// The interop service's ports, one row per kind of question; the real
// clients in tests/interop call every operation through these ports.
const test::Prefixes kInteropPrefixes = {{"s", "http://soapinterop.org/xsd"}, {"i", "http://soapinterop.org/"}};
const std::string kInteropNs = "http://soapinterop.org/";

TEST(InteropWsdl, RpcEncodedOnSoap11) {
  CheckWsdl(kExamples + "interop_rpc.wsdl", kInteropPrefixes,
            {{"binding", "http://schemas.xmlsoap.org/wsdl/soap/"}, {"style", "rpc"}, {"address", "localhost /:8080"},
             {"member s:SOAPStruct varFloat", "xsd:float"},  // xsd:all members
             {"member s:SOAPStruct s:varFloat", "-"},        // unqualified: no namespace
             {"base s:SOAPStruct", "s:SOAPStruct"}, {"rank s:SOAPStruct", "-"}, {"base s:ArrayOfint", "enc:Array"},
             {"literal s:ArrayOfint", "-"}, {"base s:Nothing", "-"},
             {"action echoFloat", kInteropNs}, {"ns echoFloat", kInteropNs}, {"inUse echoFloat", "encoded"},
             {"outStyle echoFloat", kEnc11}, {"walk echoVoid", ""},
             {"walk echoStructArray", "inputStructArray@0 return@1 "},
             {"in echoStructArray inputStructArray", "s:ArrayOfSOAPStruct"}, {"return echoDate return", "xsd:dateTime"},
             {"item s:ArrayOfSOAPStruct", "s:SOAPStruct"}, {"rank s:ArrayOfstring", "1"}});
}

TEST(InteropWsdl, DocumentLiteralWrappedOnSoap12) {
  CheckWsdl(kExamples + "interop_doclit.wsdl", kInteropPrefixes,
            {{"binding", "http://schemas.xmlsoap.org/wsdl/soap12/"}, {"style", "document"},
             {"address", "localhost /:8080"}, {"member s:SOAPStruct s:varFloat", "xsd:float"},
             {"literal i:echoString", "-"},  // one element, not repeated
             {"action echoBoolean", kInteropNs}, {"required echoBoolean", "true"}, {"ns echoBoolean", kInteropNs},
             // One wrapper part in both messages, of the wrapper element's anonymous type.
             {"outUse echoVoid", "literal"}, {"walk echoVoid", "parameters@0 "},
             {"in echoStringArray parameters", "i:echoStringArray"},
             {"out echoStringArray parameters", "i:echoStringArrayResponse"},
             // The parameter and the result `return` are the wrappers' unqualified children.
             {"member i:echoStringArray inputStringArray", "s:ArrayOfstring"},
             {"member i:echoStringArrayResponse return", "s:ArrayOfstring"},
             {"member i:echoStringArray i:inputStringArray", "-"},
             {"literal s:ArrayOfSOAPStruct", "s:SOAPStruct s:SOAPStruct"},
             {"item s:ArrayOfstring", "-"}});  // a literal array is no encoded array
}

}  // namespace
}  // namespace qxsoap::host
