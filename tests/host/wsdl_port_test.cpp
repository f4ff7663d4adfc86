// A port description read from a WSDL file answers each PortDescription
// call as a reader of that WSDL expects, "not found" included, and a WSDL
// it cannot describe is refused with its file and line.
#include "qxsoap/wsdl_port.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/port_questions.h"
#include "host/wsdl_source.h"
#include "qxcom/owned.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

const std::string kSamples = QXSOAP_WSDL_SAMPLES;

using test::Ask;
using test::kEnc11;
using test::kXsd;
using test::PD;
using test::Row;

void Check(const std::string& file, const std::vector<Row>& rows) {
  test::CheckPort(kSamples + "/" + file, rows);
}

TEST(WsdlPortTest, RpcEncodedSoap11BaseService) {
  const std::u16string types = u"http://example.org/interop/types";
  Check(
      "base_rpc11.wsdl",
      {
          {"binding namespace is the soap:binding's", [](Ask& a) { return a.PortText(&PD::GetBindingNS); },
           "http://schemas.xmlsoap.org/wsdl/soap/"},
          {"style as written", [](Ask& a) { return a.PortText(&PD::GetStyle); }, "rpc"},
          {"no port in the URL: 80", [](Ask& a) { return a.Address(); },
           "interop.example.org /base/endpoint:80"},
          {"soapAction as written", [](Ask& a) { return a.Text(&PD::GetSOAPAction, u"echoString"); },
           "http://example.org/interop/base#echoString"},
          {"an empty soapAction is found",
           [](Ask& a) { return a.Text(&PD::GetSOAPAction, u"echoStringArray"); }, ""},
          {"no soapAction attribute: not found",
           [](Ask& a) { return a.Text(&PD::GetSOAPAction, u"echoVoid"); }, "-"},
          {"unknown operation: not found", [](Ask& a) { return a.Text(&PD::GetSOAPAction, u"echoFloat"); },
           "-"},
          {"SOAP 1.1 always requires the action", [](Ask& a) { return a.ActionRequired(u"echoString"); },
           "true"},
          {"SOAP 1.1 requires an action it does not name",
           [](Ask& a) { return a.ActionRequired(u"echoVoid"); }, "true"},
          {"rpc namespace from soap:body", [](Ask& a) { return a.Text(&PD::GetOperationNS, u"divide"); },
           "urn:divide"},
          {"input use", [](Ask& a) { return a.Text(&PD::GetInputUse, u"echoString"); }, "encoded"},
          {"output encodingStyle", [](Ask& a) { return a.Text(&PD::GetOutputEncodingStyle, u"echoString"); },
           kEnc11},
          {"no encodingStyle attribute: not found",
           [](Ask& a) { return a.Text(&PD::GetInputEncodingStyle, u"echoVoid"); }, "-"},
          {"input part type",
           [](Ask& a) { return a.Type(&PD::GetInputPartType, u"echoString", u"inputString"); },
           kXsd + "string"},
          {"the return is no input part",
           [](Ask& a) { return a.Type(&PD::GetInputPartType, u"echoString", u"return"); }, "-"},
          {"return type of the one output-only part",
           [](Ask& a) { return a.Type(&PD::GetReturnType, u"echoStringArray", u"return"); },
           "{http://example.org/interop/types}ArrayOfstring"},
          {"a parameter has no return type",
           [](Ask& a) { return a.Type(&PD::GetReturnType, u"echoString", u"inputString"); }, "-"},
          {"the return is not a parameter",
           [](Ask& a) { return a.Flagged(&PD::IsParameter, u"echoString", u"return"); }, "false"},
          {"an input is a parameter",
           [](Ask& a) { return a.Flagged(&PD::IsParameter, u"echoString", u"inputString"); }, "true"},
          {"parameterOrder sets positions", [](Ask& a) { return a.Walk(u"divide"); },
           "divisor@0 dividend@1 remainder@2 quotient@3 "},
          {"the part parameterOrder leaves out is the return",
           [](Ask& a) { return a.Type(&PD::GetReturnType, u"divide", u"quotient"); }, kXsd + "int"},
          {"listed output part is an out parameter",
           [](Ask& a) { return a.Flagged(&PD::IsOutParameter, u"divide", u"remainder"); }, "true"},
          {"out parameter is not in",
           [](Ask& a) { return a.Flagged(&PD::IsInParameter, u"divide", u"remainder"); }, "false"},
          {"position in parameterOrder", [](Ask& a) { return a.Position(u"divide", u"dividend"); }, "1"},
          {"the return part has no position", [](Ask& a) { return a.Position(u"divide", u"quotient"); }, "-"},
          {"parts in both messages are in/out",
           [](Ask& a) { return a.Flagged(&PD::IsOutParameter, u"swap", u"a"); }, "true"},
          {"in/out keeps input message order, no return", [](Ask& a) { return a.Walk(u"swap"); }, "a@0 b@1 "},
          {"no parts", [](Ask& a) { return a.Walk(u"echoVoid"); }, ""},
          {"struct derives from itself",
           [&](Ask& a) { return a.Type(&PD::GetBaseType, u"SOAPStruct", types); },
           "{http://example.org/interop/types}SOAPStruct"},
          {"xsd:all members", [&](Ask& a) { return a.Member(u"SOAPStruct", types, u"varFloat", u""); },
           kXsd + "float"},
          {"unqualified members have no namespace",
           [&](Ask& a) { return a.Member(u"SOAPStruct", types, u"varFloat", types); }, "-"},
          {"encoded array base", [&](Ask& a) { return a.Type(&PD::GetBaseType, u"ArrayOfint", types); },
           "{" + kEnc11 + "}Array"},
          {"encoded array item",
           [&](Ask& a) { return a.Type(&PD::GetArrayItemType, u"ArrayOfSOAPStruct", types); },
           "{http://example.org/interop/types}SOAPStruct"},
          {"one dimension", [&](Ask& a) { return a.Rank(u"ArrayOfstring", types); }, "1"},
          {"a struct is no array", [&](Ask& a) { return a.Rank(u"SOAPStruct", types); }, "-"},
          {"encoded arrays are no literal arrays",
           [&](Ask& a) { return a.LiteralArray(u"ArrayOfint", types); }, "-"},
          {"undeclared type: no base",
           [](Ask& a) { return a.Type(&PD::GetBaseType, u"Nothing", u"urn:none"); }, "-"},
      });
}

TEST(WsdlPortTest, DocumentLiteralSoap12BaseService) {
  const std::u16string doc = u"http://example.org/interop/doc";
  Check(
      "base_doc12.wsdl",
      {
          {"SOAP 1.2 binding namespace", [](Ask& a) { return a.PortText(&PD::GetBindingNS); },
           "http://schemas.xmlsoap.org/wsdl/soap12/"},
          {"https with a port, IPv6 host", [](Ask& a) { return a.Address(); }, "[2001:db8::1] /doc:8443"},
          {"soapActionRequired absent means required", [](Ask& a) { return a.ActionRequired(u"echoString"); },
           "true"},
          {"soapActionRequired false", [](Ask& a) { return a.ActionRequired(u"echoIntegerArray"); }, "false"},
          {"document namespace from the wrapper element",
           [](Ask& a) { return a.Text(&PD::GetOperationNS, u"echoString"); },
           "http://example.org/interop/doc"},
          {"one-way: no output use", [](Ask& a) { return a.Text(&PD::GetOutputUse, u"ping"); }, "-"},
          {"no use attribute: not found", [](Ask& a) { return a.Text(&PD::GetInputUse, u"ping"); }, "-"},
          {"element part: anonymous type named after the element",
           [](Ask& a) { return a.Type(&PD::GetInputPartType, u"echoString", u"parameters"); },
           "{http://example.org/interop/doc}echoString"},
          {"same-named part: output message's own type",
           [](Ask& a) { return a.Type(&PD::GetOutputPartType, u"echoString", u"parameters"); },
           "{http://example.org/interop/doc}echoStringResponse"},
          {"element part of a named type",
           [](Ask& a) { return a.Type(&PD::GetReturnType, u"echoIntegerArray", u"result"); },
           "{http://example.org/interop/doc}ArrayOfInt"},
          {"element part of a built-in type",
           [](Ask& a) { return a.Type(&PD::GetInputPartType, u"ping", u"ping"); }, kXsd + "string"},
          {"qualified local member",
           [&](Ask& a) { return a.Member(u"echoString", doc, u"inputString", doc); }, kXsd + "string"},
          {"unbounded element: literal array",
           [&](Ask& a) { return a.LiteralArray(u"echoIntegerArray", doc); },
           kXsd + "int {http://example.org/interop/doc}inputInteger"},
          {"maxOccurs above one, unqualified item",
           [&](Ask& a) { return a.LiteralArray(u"ArrayOfInt", doc); }, kXsd + "int item"},
          {"a literal array keeps its member",
           [&](Ask& a) { return a.Member(u"ArrayOfInt", doc, u"item", u""); }, kXsd + "int"},
          {"a literal array is its own base",
           [&](Ask& a) { return a.Type(&PD::GetBaseType, u"ArrayOfInt", doc); },
           "{http://example.org/interop/doc}ArrayOfInt"},
          {"one element, not repeated: no array", [&](Ask& a) { return a.LiteralArray(u"echoString", doc); },
           "-"},
          {"an element of a named type is not a type",
           [&](Ask& a) { return a.Type(&PD::GetBaseType, u"echoIntegerArrayResponse", doc); }, "-"},
      });
}

TEST(WsdlPortTest, HeadersAndFaults) {
  Check("headers_faults.wsdl",
        {
            {"port in the URL, no path", [](Ask& a) { return a.Address(); }, "bank.example.org /:8080"},
            {"a part bound to a header is no body part", [](Ask& a) { return a.Walk(u"withdraw"); },
             "account@0 amount@1 balance@2 "},
            {"header part is no parameter",
             [](Ask& a) { return a.Type(&PD::GetInputPartType, u"withdraw", u"session"); }, "-"},
            {"element header keyed by the element",
             [](Ask& a) {
               return a.Block(&PD::GetInputHeaderType, u"withdraw", u"Session", u"urn:bank:types");
             },
             "{urn:bank:types}Session"},
            {"input header is no output header",
             [](Ask& a) {
               return a.Block(&PD::GetOutputHeaderType, u"withdraw", u"Session", u"urn:bank:types");
             },
             "-"},
            {"type header keyed by part name in soap:header namespace",
             [](Ask& a) {
               return a.Block(&PD::GetOutputHeaderType, u"withdraw", u"receiptId", u"urn:bank:receipt");
             },
             kXsd + "long"},
            {"no encodingStyle on soap:header: not found",
             [](Ask& a) {
               return a.Block(&PD::GetInputHeaderEncodingStyle, u"withdraw", u"Session", u"urn:bank:types");
             },
             "-"},
            {"header encodingStyle",
             [](Ask& a) {
               return a.Block(&PD::GetOutputHeaderEncodingStyle, u"withdraw", u"receiptId",
                              u"urn:bank:receipt");
             },
             kEnc11},
            {"headerfault is a fault header",
             [](Ask& a) {
               return a.Block(&PD::GetFaultHeaderType, u"withdraw", u"SessionExpired", u"urn:bank:types");
             },
             kXsd + "string"},
            {"any operation's header", [](Ask& a) { return a.Header(u"receiptId", u"urn:bank:receipt"); },
             kXsd + "long"},
            {"headerfault in the header list",
             [](Ask& a) { return a.Header(u"SessionExpired", u"urn:bank:types"); }, kXsd + "string"},
            {"unknown header", [](Ask& a) { return a.Header(u"Session", u"urn:other"); }, "-"},
            {"fault detail by element",
             [](Ask& a) {
               return a.Block(&PD::GetFaultDetailType, u"withdraw", u"Insufficient", u"urn:bank:types");
             },
             "{urn:bank:types}InsufficientFunds"},
            {"fault detail use",
             [](Ask& a) {
               return a.Block(&PD::GetFaultDetailUse, u"withdraw", u"Insufficient", u"urn:bank:types");
             },
             "literal"},
            {"typed fault detail keyed in soap:fault namespace",
             [](Ask& a) {
               return a.Block(&PD::GetFaultDetailType, u"withdraw", u"lockedUntil", u"urn:bank:faults");
             },
             kXsd + "dateTime"},
            {"fault detail encodingStyle",
             [](Ask& a) {
               return a.Block(&PD::GetFaultDetailEncodingStyle, u"withdraw", u"lockedUntil",
                              u"urn:bank:faults");
             },
             kEnc11},
            {"fault detail of an unknown operation",
             [](Ask& a) {
               return a.Block(&PD::GetFaultDetailType, u"deposit", u"Insufficient", u"urn:bank:types");
             },
             "-"},
        });
}

TEST(WsdlPortTest, NestedDerivedStructsAndArrays) {
  const std::u16string geometry = u"urn:draw:geometry", doc = u"urn:draw:doc";
  Check(
      "shapes.wsdl",
      {
          {"extension answers its base",
           [&](Ask& a) { return a.Type(&PD::GetBaseType, u"Circle", geometry); }, "{urn:draw:geometry}Shape"},
          {"extension lists the base's members",
           [&](Ask& a) { return a.Member(u"Circle", geometry, u"origin", u""); }, "{urn:draw:geometry}Point"},
          {"extension's own member", [&](Ask& a) { return a.Member(u"Circle", geometry, u"radius", u""); },
           kXsd + "double"},
          {"attributes are no members", [&](Ask& a) { return a.Member(u"Shape", geometry, u"id", u""); },
           "-"},
          {"simple type restriction answers its base",
           [&](Ask& a) { return a.Type(&PD::GetBaseType, u"Color", geometry); }, kXsd + "string"},
          {"two dimensions from one comma", [&](Ask& a) { return a.Rank(u"Matrix", geometry); }, "2"},
          {"SOAP 1.2 itemType", [&](Ask& a) { return a.Type(&PD::GetArrayItemType, u"Grid12", geometry); },
           "{urn:draw:geometry}Point"},
          {"SOAP 1.2 arraySize gives the rank", [&](Ask& a) { return a.Rank(u"Grid12", geometry); }, "3"},
          {"SOAP 1.2 array base", [&](Ask& a) { return a.Type(&PD::GetBaseType, u"Grid12", geometry); },
           "{http://www.w3.org/2003/05/soap-encoding}Array"},
          {"ref member in the element's namespace",
           [&](Ask& a) { return a.Member(u"Drawing", doc, u"Title", doc); }, kXsd + "string"},
          {"form=unqualified overrides the default",
           [&](Ask& a) { return a.Member(u"Drawing", doc, u"frame", u""); }, "{urn:draw:geometry}Circle"},
          {"type from the imported inline schema",
           [&](Ask& a) { return a.Member(u"Drawing", doc, u"heights", doc); }, "{urn:draw:geometry}Matrix"},
      });
}

TEST(WsdlPortTest, TypesFromAnImportedSchemaFile) {
  const std::u16string types = u"urn:catalog:types";
  Check("split.wsdl",
        {
            {"no style attribute: document", [](Ask& a) { return a.PortText(&PD::GetStyle); }, "document"},
            {"wrapper element from the inline schema",
             [](Ask& a) { return a.Text(&PD::GetOperationNS, u"find"); }, "urn:catalog:messages"},
            {"member of the imported file's type",
             [&](Ask& a) { return a.Member(u"Query", types, u"limit", types); }, kXsd + "int"},
            {"literal array of structs", [&](Ask& a) { return a.LiteralArray(u"Items", types); },
             "{urn:catalog:types}Item {urn:catalog:types}item"},
            {"output part typed by the imported element",
             [](Ask& a) { return a.Type(&PD::GetOutputPartType, u"find", u"parameters"); },
             "{urn:catalog:types}Items"},
        });
}

}  // namespace
}  // namespace qxsoap::host
