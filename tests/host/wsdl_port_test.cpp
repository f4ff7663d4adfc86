// A port description read from a WSDL file answers each PortDescription
// call as a reader of that WSDL expects, "not found" included, and a WSDL
// it cannot describe is refused with its file and line.
#include "qxsoap/wsdl_port.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/wsdl_source.h"
#include "qxcom/owned.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

const std::string kSamples = QXSOAP_WSDL_SAMPLES;

// Puts PortDescription calls to a port and gives each answer as text: the
// string, "{ns}name" for a type or element, "-" for not found.
class Ask {
 public:
  explicit Ask(PortDescription* port) : port_(port) {}

  using OpText = HRESULT (PortDescription::*)(BSTR, BSTR*, VARIANT_BOOL*);
  using PartType = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
  using BlockType = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
  using BlockText = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL*);
  using Flag = HRESULT (PortDescription::*)(BSTR, BSTR, VARIANT_BOOL*);

  std::string Text(OpText call, std::u16string_view op) {
    Out text;
    return Answer((port_->*call)(In(op), &text.value, &found_), {&text});
  }
  std::string Type(PartType call, std::u16string_view a, std::u16string_view b) {
    Out name, ns;
    return Answer((port_->*call)(In(a), In(b), &name.value, &ns.value, &found_), {&ns, &name});
  }
  std::string Block(BlockType call, std::u16string_view op, std::u16string_view part,
                    std::u16string_view ns) {
    Out name, typeNs;
    return Answer((port_->*call)(In(op), In(part), In(ns), &name.value, &typeNs.value, &found_),
                  {&typeNs, &name});
  }
  std::string Block(BlockText call, std::u16string_view op, std::u16string_view part,
                    std::u16string_view ns) {
    Out text;
    return Answer((port_->*call)(In(op), In(part), In(ns), &text.value, &found_), {&text});
  }
  std::string Flagged(Flag call, std::u16string_view op, std::u16string_view part) {
    VARIANT_BOOL flag = 99;
    if (FAILED((port_->*call)(In(op), In(part), &flag))) return "failed";
    return flag == VARIANT_TRUE ? "true" : flag == VARIANT_FALSE ? "false" : "bad flag";
  }
  std::string Member(std::u16string_view type, std::u16string_view typeNs, std::u16string_view member,
                     std::u16string_view memberNs) {
    Out name, ns;
    return Answer(
        port_->GetMemberType(In(type), In(typeNs), In(member), In(memberNs), &name.value, &ns.value, &found_),
        {&ns, &name});
  }
  std::string Header(std::u16string_view element, std::u16string_view ns) {
    Out name, typeNs;
    return Answer(port_->GetHeaderType(In(element), In(ns), &name.value, &typeNs.value, &found_),
                  {&typeNs, &name});
  }
  std::string Rank(std::u16string_view type, std::u16string_view ns) {
    LONG rank = -7;
    const HRESULT hr = port_->GetArrayRank(In(type), In(ns), &rank, &found_);
    return Answer(hr, {}) == "-" ? "-" : std::to_string(rank);
  }
  std::string Position(std::u16string_view op, std::u16string_view part) {
    LONG position = -7;
    const HRESULT hr = port_->GetPartPosition(In(op), In(part), &position, &found_);
    return Answer(hr, {}) == "-" ? "-" : std::to_string(position);
  }
  std::string LiteralArray(std::u16string_view type, std::u16string_view ns) {
    Out itemType, itemTypeNs, element, elementNs;
    return Answer(port_->GetLiteralArrayType(In(type), In(ns), &itemType.value, &itemTypeNs.value,
                                             &element.value, &elementNs.value, &found_),
                  {&itemTypeNs, &itemType, &elementNs, &element});
  }
  std::string ActionRequired(std::u16string_view op) {
    VARIANT_BOOL flag = 99;
    const HRESULT hr = port_->IsSOAPActionRequired(In(op), &flag, &found_);
    return Answer(hr, {}) == "-" ? "-" : flag == VARIANT_TRUE ? "true" : "false";
  }
  // The parts in walk order, as "name@position".
  std::string Walk(std::u16string_view op) {
    std::string walk;
    Out part;
    LONG position = 0;
    for (HRESULT hr = port_->GetFirstPart(In(op), &part.value, &position, &found_);
         SUCCEEDED(hr) && found_ == VARIANT_TRUE;
         hr = port_->GetNextPart(In(op), &part.value, &position, &found_)) {
      walk += Narrow(part.Take()) + "@" + std::to_string(position) + " ";
    }
    return walk;
  }
  std::string Address() {
    Out host, path;
    LONG port = -7;
    if (Answer(port_->GetAddress(&host.value, &path.value, &port, &found_), {}) == "-") return "-";
    return Narrow(host.Take()) + " " + Narrow(path.Take()) + ":" + std::to_string(port);
  }
  std::string PortText(HRESULT (PortDescription::*call)(BSTR*, VARIANT_BOOL*)) {
    Out text;
    return Answer((port_->*call)(&text.value, &found_), {&text});
  }

 private:
  // An output BSTR, freed when the answer is taken.
  struct Out {
    BSTR value = nullptr;
    ~Out() { SysFreeString(value); }
    std::u16string Take() {
      std::u16string text(value ? value : u"", SysStringLen(value));
      SysFreeString(std::exchange(value, nullptr));
      return text;
    }
  };

  BSTR In(std::u16string_view text) {
    return inputs_.emplace_back(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))).get();
  }

  // Pairs of (namespace, name) print as "{ns}name"; single texts as they are.
  std::string Answer(HRESULT hr, std::initializer_list<Out*> outs) {
    if (FAILED(hr)) return "failed";
    if (found_ != VARIANT_TRUE) return found_ == VARIANT_FALSE ? "-" : "bad found";
    std::string answer;
    for (auto out = outs.begin(); out != outs.end(); ++out) {
      if (outs.size() == 1) return Narrow((*out)->Take());
      const std::string ns = Narrow((*out)->Take());
      const std::string name = Narrow((*++out)->Take());
      answer += (answer.empty() ? "" : " ") + (ns.empty() ? name : "{" + ns + "}" + name);
    }
    return answer;
  }

  PortDescription* port_;
  VARIANT_BOOL found_ = 99;
  std::vector<qxcom::Bstr> inputs_;
};

struct Row {
  const char* why;
  std::function<std::string(Ask&)> ask;
  std::string expected;
};

void Check(const std::string& file, const std::vector<Row>& rows) {
  WsdlError error;
  PortDescription* port = LoadWsdlPort((kSamples + "/" + file).c_str(), nullptr, &error);
  ASSERT_NE(port, nullptr) << error.file << ":" << error.line << ": " << error.message;
  Ask ask(port);
  for (const Row& row : rows) EXPECT_EQ(row.ask(ask), row.expected) << row.why;
  EXPECT_EQ(port->Release(), 0u);
}

using PD = PortDescription;
const std::string kXsd = "{http://www.w3.org/2001/XMLSchema}";
const std::string kEnc11 = "http://schemas.xmlsoap.org/soap/encoding/";

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
