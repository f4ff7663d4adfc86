// The rpc view of document/literal wrapped ports, on models: what each
// operation's parts become, and every way a port can fail to be wrapped.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "host/wrapped_document.h"
#include "host/wsdl_source.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

const TypeName kAdd{u"add", u"urn:calc"};
const TypeName kAddResponse{u"addResponse", u"urn:calc"};

MemberModel Member(std::u16string name, std::u16string type, std::u16string ns = u"") {
  return {{std::move(name), std::move(ns)}, Xsd(type)};
}

TypeModel Wrapper(TypeName name, std::vector<MemberModel> members) {
  return {name, name, true, std::move(members), {}, 0, {}};
}

// A document/literal port with one wrapped operation, add(a, b) -> sum, as
// the WSDL reader gives it: one "parameters" part in both messages.
PortModel WrappedPort() {
  PortModel port;
  port.binding = u"CalcBinding";
  port.bindingNS = WSDL_SOAP12_NS;
  port.style = u"document";
  OperationDeclaration add;
  add.ns = u"urn:calc";
  add.action = u"urn:calc#add";
  add.inputUse = add.outputUse = u"literal";
  add.parts.push_back({u"parameters", kAdd, true, true, false, kAddResponse});
  add.inputHeaders[{u"session", u"urn:h"}] = {Xsd(u"string"), u"", u"literal"};
  port.operations[u"add"] = add;
  port.types.push_back(Wrapper(kAdd, {Member(u"a", u"int"), Member(u"b", u"int")}));
  port.types.push_back(Wrapper(kAddResponse, {Member(u"sum", u"int")}));
  return port;
}

TypeModel& TypeOf(PortModel& port, const TypeName& name) {
  for (TypeModel& type : port.types) {
    if (type.name == name) return type;
  }
  throw std::logic_error("no such type");
}

// Parts as "name:type direction" in walk order.
std::string Parts(const OperationDeclaration& operation) {
  std::string text;
  for (const PartDeclaration& part : operation.parts) {
    text += Narrow(part.name) + ":" + Narrow(part.type.name);
    if (part.outputType) text += "/" + Narrow(part.outputType->name);
    text += part.isReturn              ? " return; "
            : part.isIn && part.isOut ? " inout; "
            : part.isIn               ? " in; "
                                      : " out; ";
  }
  return text;
}

struct Row {
  const char* why;
  std::function<void(PortModel&)> change;
  std::string expected;  // the parts of the view, or a piece of the refusal
};

TEST(WrappedView, MakesTheWrapperMembersTheParts) {
  const Row rows[] = {
      {"request members in, in order; response members out after them", [](PortModel&) {},
       "a:int in; b:int in; sum:int out; "},
      {"a response in a part of its own (the reader's return value) is out all the same",
       [](PortModel& port) {
         port.operations[u"add"].parts = {{u"request", kAdd, true, false, false, {}},
                                          {u"response", kAddResponse, false, true, true, {}}};
       },
       "a:int in; b:int in; sum:int out; "},
      {"a member of both wrappers is in/out, keeping the response's type",
       [](PortModel& port) { TypeOf(port, kAddResponse).members.push_back(Member(u"b", u"string")); },
       "a:int in; b:int/string inout; sum:int out; "},
      {"a one-way operation has only in parameters",
       [](PortModel& port) {
         port.operations[u"add"].parts = {{u"parameters", kAdd, true, false, false, {}}};
         port.operations[u"add"].outputUse.reset();
       },
       "a:int in; b:int in; "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    PortModel document = WrappedPort();
    row.change(document);
    const PortModel view = RpcViewOfWrappedPort(document);
    EXPECT_EQ(Narrow(view.style), "rpc");
    const OperationDeclaration& add = view.operations.at(u"add");
    EXPECT_EQ(Parts(add), row.expected);
    // The rest of the operation is the document's.
    EXPECT_EQ(add.action, u"urn:calc#add");
    EXPECT_EQ(add.inputHeaders.size(), 1u);
  }
}

void AddPart(PortModel& port, bool in) {
  port.operations[u"add"].parts.push_back({u"extra", Xsd(u"int"), in, !in, false, {}});
}

TEST(WrappedView, RefusesWhatIsNotWrapped) {
  const Row rows[] = {
      {"an rpc port", [](PortModel& port) { port.style = u"rpc"; },
       "the binding CalcBinding is not document style"},
      {"two input parts", [](PortModel& port) { AddPart(port, true); },
       "the operation add is not document/literal wrapped: its input must have exactly one body part"},
      {"two output parts", [](PortModel& port) { AddPart(port, false); },
       "its output must have at most one body part"},
      {"a part by type (the reader leaves the namespace empty)",
       [](PortModel& port) { port.operations[u"add"].ns.clear(); },
       "its input part must name an element, not a type"},
      {"encoded input", [](PortModel& port) { port.operations[u"add"].inputUse = u"encoded"; },
       "must be use=\"literal\""},
      {"encoded output", [](PortModel& port) { port.operations[u"add"].outputUse = u"encoded"; },
       "must be use=\"literal\""},
      {"a request element named otherwise",
       [](PortModel& port) { port.operations[u"add"].parts.front().type.name = u"addRequest"; },
       "its wrapper must be the element {urn:calc}add with an anonymous complex type; "
       "the part's type is {urn:calc}addRequest"},
      {"in and out the same element: the handler writes addResponse",
       [](PortModel& port) { port.operations[u"add"].parts.front().outputType.reset(); },
       "must be the element {urn:calc}addResponse with an anonymous complex type; "
       "the part's type is {urn:calc}add"},
      {"an undeclared wrapper", [](PortModel& port) { port.types.erase(port.types.begin()); },
       "the wrapper {urn:calc}add has no complex type"},
      {"a wrapper of simple type", [](PortModel& port) { TypeOf(port, kAdd).isComplex = false; },
       "the wrapper {urn:calc}add has no complex type"},
      {"a literal array wrapper: its items would bind as one parameter",
       [](PortModel& port) { TypeOf(port, kAdd).literalItem = Member(u"a", u"int"); },
       "the wrapper {urn:calc}add has no complex type"},
      {"a qualified member: the handler binds parameters unqualified",
       [](PortModel& port) { TypeOf(port, kAddResponse).members.front().element.ns = u"urn:calc"; },
       "the member {urn:calc}sum of {urn:calc}addResponse is namespace-qualified"},
      {"two members of one name: the handler binds by name",
       [](PortModel& port) { TypeOf(port, kAdd).members.push_back(Member(u"a", u"string")); },
       "the wrapper {urn:calc}add has two members named a"},
      {"one operation not wrapped refuses the whole port",
       [](PortModel& port) {
         port.operations[u"sub"] = port.operations.at(u"add");
         port.operations[u"sub"].inputUse = u"encoded";
       },
       "the operation sub is not document/literal wrapped"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    PortModel document = WrappedPort();
    row.change(document);
    try {
      RpcViewOfWrappedPort(document);
      ADD_FAILURE() << "not refused";
    } catch (const WsdlError& error) {
      EXPECT_NE(error.message.find(row.expected), std::string::npos) << error.message;
    }
  }
}

// The served port: a document port through the view, an rpc port as it is,
// and a refusal naming the file it came from.
TEST(ServedPort, ViewsOnlyDocumentPortsAndNamesTheFileItRefuses) {
  WsdlError error;
  for (const auto& [file, isView] : {std::pair{"/interop_doclit.wsdl", true}, {"/interop_rpc.wsdl", false}}) {
    bool view = !isView;
    PortDescription* port = LoadServedPort((QXSOAP_EXAMPLES + std::string(file)).c_str(), nullptr, &error, &view);
    ASSERT_NE(port, nullptr) << error.message;
    EXPECT_EQ(view, isView) << file;
    port->Release();
  }

  std::ifstream in(QXSOAP_EXAMPLES "/interop_doclit.wsdl");
  std::string wsdl{std::istreambuf_iterator<char>(in), {}};
  const std::string schema = "targetNamespace=\"http://soapinterop.org/\" elementFormDefault=";
  const size_t at = wsdl.find(schema + "\"unqualified\"");
  ASSERT_NE(at, std::string::npos);
  wsdl.replace(at + schema.size(), 13, "\"qualified\"");
  const std::string path = ::testing::TempDir() + "qualified_doclit.wsdl";
  std::ofstream(path) << wsdl;
  EXPECT_EQ(LoadServedPort(path.c_str(), nullptr, &error), nullptr);
  EXPECT_EQ(error.file, path);
  EXPECT_NE(error.message.find("is namespace-qualified"), std::string::npos) << error.message;
  std::remove(path.c_str());
}

}  // namespace
}  // namespace qxsoap::host
