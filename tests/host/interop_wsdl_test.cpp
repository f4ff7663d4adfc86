// The interop service's WSDL files in examples/ describe the port the
// handler needs for each binding: every echo operation with its action,
// namespace, use, parameter and return, and the array and struct types.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "host/port_questions.h"

namespace qxsoap::host {
namespace {

using test::Ask;
using test::kXsd;
using test::PD;
using test::Row;

const std::string kExamples = QXSOAP_EXAMPLES;
constexpr char16_t kTypesNs[] = u"http://soapinterop.org/xsd";
const std::string kTypes = "{http://soapinterop.org/xsd}";

struct Operation {
  const char16_t* name;
  const char16_t* parameter;  // null for echoVoid
  std::string type;
};

const std::vector<Operation>& Operations() {
  static const std::vector<Operation> operations = {
      {u"echoString", u"inputString", kXsd + "string"},
      {u"echoStringArray", u"inputStringArray", kTypes + "ArrayOfstring"},
      {u"echoInteger", u"inputInteger", kXsd + "int"},
      {u"echoIntegerArray", u"inputIntegerArray", kTypes + "ArrayOfint"},
      {u"echoFloat", u"inputFloat", kXsd + "float"},
      {u"echoFloatArray", u"inputFloatArray", kTypes + "ArrayOffloat"},
      {u"echoStruct", u"inputStruct", kTypes + "SOAPStruct"},
      {u"echoStructArray", u"inputStructArray", kTypes + "ArrayOfSOAPStruct"},
      {u"echoVoid", nullptr, ""},
      {u"echoBase64", u"inputBase64", kXsd + "base64Binary"},
      {u"echoDate", u"inputDate", kXsd + "dateTime"},
      {u"echoHexBinary", u"inputHexBinary", kXsd + "hexBinary"},
      {u"echoDecimal", u"inputDecimal", kXsd + "decimal"},
      {u"echoBoolean", u"inputBoolean", kXsd + "boolean"},
  };
  return operations;
}

std::string Narrow16(const char16_t* text) { return Narrow(text); }

// The SOAPStruct members both bindings describe, in `memberNs`.
void AddStructRows(std::vector<Row>& rows, std::u16string memberNs) {
  for (const char16_t* member : {u"varString", u"varInt", u"varFloat"}) {
    rows.push_back({"a SOAPStruct member",
                    [=](Ask& a) { return a.Member(u"SOAPStruct", kTypesNs, member, memberNs); },
                    std::u16string_view(member) == u"varString" ? kXsd + "string"
                    : std::u16string_view(member) == u"varInt"  ? kXsd + "int"
                                                                : kXsd + "float"});
  }
  rows.push_back({"SOAPStruct is a struct: it derives from itself",
                  [](Ask& a) { return a.Type(&PD::GetBaseType, u"SOAPStruct", kTypesNs); },
                  kTypes + "SOAPStruct"});
}

TEST(InteropWsdl, RpcEncodedOnSoap11) {
  std::deque<std::string> whys;  // the rows point at them
  std::vector<Row> rows = {
      {"SOAP 1.1 binding", [](Ask& a) { return a.PortText(&PD::GetBindingNS); },
       "http://schemas.xmlsoap.org/wsdl/soap/"},
      {"rpc style", [](Ask& a) { return a.PortText(&PD::GetStyle); }, "rpc"},
      {"the address serve rewrites", [](Ask& a) { return a.Address(); }, "localhost /:8080"},
  };
  for (const Operation& op : Operations()) {
    const char16_t* name = op.name;
    const char* why = whys.emplace_back(Narrow16(name)).c_str();
    rows.push_back({why, [=](Ask& a) { return a.Text(&PD::GetSOAPAction, name); },
                    "http://soapinterop.org/"});
    rows.push_back({why, [=](Ask& a) { return a.Text(&PD::GetOperationNS, name); },
                    "http://soapinterop.org/"});
    rows.push_back({why, [=](Ask& a) { return a.Text(&PD::GetInputUse, name); },
                    "encoded"});
    rows.push_back({why, [=](Ask& a) { return a.Text(&PD::GetOutputEncodingStyle, name); },
                    test::kEnc11});
    if (!op.parameter) {
      rows.push_back({"echoVoid has no parts", [=](Ask& a) { return a.Walk(name); }, ""});
      continue;
    }
    const char16_t* parameter = op.parameter;
    rows.push_back({why, [=](Ask& a) { return a.Walk(name); },
                    Narrow16(parameter) + "@0 return@1 "});
    rows.push_back({why,
                    [=](Ask& a) { return a.Type(&PD::GetInputPartType, name, parameter); },
                    op.type});
    rows.push_back({why, [=](Ask& a) { return a.Type(&PD::GetReturnType, name, u"return"); },
                    op.type});
    rows.push_back({why, [=](Ask& a) { return a.Flagged(&PD::IsParameter, name, u"return"); },
                    "false"});
  }
  const std::pair<const char16_t*, std::string> arrays[] = {
      {u"ArrayOfstring", kXsd + "string"},
      {u"ArrayOfint", kXsd + "int"},
      {u"ArrayOffloat", kXsd + "float"},
      {u"ArrayOfSOAPStruct", kTypes + "SOAPStruct"},
  };
  for (const auto& [array, item] : arrays) {
    rows.push_back({"SOAP-encoded array item type",
                    [=](Ask& a) { return a.Type(&PD::GetArrayItemType, array, kTypesNs); }, item});
    rows.push_back({"one dimension", [=](Ask& a) { return a.Rank(array, kTypesNs); }, "1"});
  }
  AddStructRows(rows, u"");
  test::CheckPort(kExamples + "/interop_rpc.wsdl", rows);
}

TEST(InteropWsdl, DocumentLiteralWrappedOnSoap12) {
  constexpr char16_t kOpNs[] = u"http://soapinterop.org/";
  std::deque<std::string> whys;  // the rows point at them
  std::vector<Row> rows = {
      {"SOAP 1.2 binding", [](Ask& a) { return a.PortText(&PD::GetBindingNS); },
       "http://schemas.xmlsoap.org/wsdl/soap12/"},
      {"document style", [](Ask& a) { return a.PortText(&PD::GetStyle); }, "document"},
      {"the address serve rewrites", [](Ask& a) { return a.Address(); }, "localhost /:8080"},
  };
  for (const Operation& op : Operations()) {
    const char16_t* name = op.name;
    const char* why = whys.emplace_back(Narrow16(name)).c_str();
    const std::string wrapper = "{http://soapinterop.org/}" + std::string(why);
    rows.push_back({why, [=](Ask& a) { return a.Text(&PD::GetSOAPAction, name); },
                    "http://soapinterop.org/"});
    rows.push_back({why, [=](Ask& a) { return a.ActionRequired(name); }, "true"});
    rows.push_back({"the wrapper element's namespace",
                    [=](Ask& a) { return a.Text(&PD::GetOperationNS, name); },
                    "http://soapinterop.org/"});
    rows.push_back({why, [=](Ask& a) { return a.Text(&PD::GetOutputUse, name); },
                    "literal"});
    rows.push_back({"one wrapper part, in both messages",
                    [=](Ask& a) { return a.Walk(name); }, "parameters@0 "});
    rows.push_back({"the request wrapper",
                    [=](Ask& a) { return a.Type(&PD::GetInputPartType, name, u"parameters"); },
                    wrapper});
    rows.push_back({"the response wrapper",
                    [=](Ask& a) { return a.Type(&PD::GetOutputPartType, name, u"parameters"); },
                    wrapper + "Response"});
    if (!op.parameter) continue;
    const char16_t* parameter = op.parameter;
    const std::u16string response = std::u16string(name) + u"Response";
    rows.push_back({"the parameter is the request wrapper's unqualified child",
                    [=](Ask& a) { return a.Member(name, kOpNs, parameter, u""); }, op.type});
    rows.push_back({"the result is the response wrapper's unqualified child `return`",
                    [=](Ask& a) { return a.Member(response, kOpNs, u"return", u""); }, op.type});
    rows.push_back({"no qualified parameter",
                    [=](Ask& a) { return a.Member(name, kOpNs, parameter, kOpNs); }, "-"});
  }
  const std::pair<const char16_t*, std::string> arrays[] = {
      {u"ArrayOfstring", kXsd + "string " + kTypes + "string"},
      {u"ArrayOfint", kXsd + "int " + kTypes + "int"},
      {u"ArrayOffloat", kXsd + "float " + kTypes + "float"},
      {u"ArrayOfSOAPStruct", kTypes + "SOAPStruct " + kTypes + "SOAPStruct"},
  };
  for (const auto& [array, item] : arrays) {
    rows.push_back({"a literal array: item type and element",
                    [=](Ask& a) { return a.LiteralArray(array, kTypesNs); }, item});
    rows.push_back({"a literal array is no encoded array",
                    [=](Ask& a) { return a.Type(&PD::GetArrayItemType, array, kTypesNs); }, "-"});
  }
  AddStructRows(rows, kTypesNs);
  test::CheckPort(kExamples + "/interop_doclit.wsdl", rows);
}

}  // namespace
}  // namespace qxsoap::host
