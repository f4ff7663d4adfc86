// The rpc view of document/literal wrapped ports, on models: what each
// operation's parts become, and the ways a port can fail to be wrapped.
// (Whole wrapped exchanges are served to real clients in the interop test;
// a port with qualified wrapper members is refused by serve_test.py.)
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "host/wrapped_document.h"
#include "host/wsdl_source.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

const TypeName kAdd{u"add", u"urn:calc"}, kAddResponse{u"addResponse", u"urn:calc"};

MemberModel Member(std::u16string name, std::u16string type) { return {{std::move(name), u""}, Xsd(type)}; }

TypeModel& TypeOf(PortModel& port, const TypeName& name) {
  for (TypeModel& type : port.types) {
    if (type.name == name) return type;
  }
  throw std::logic_error("no such type");
}

struct Row {
  const char* why;
  std::function<void(PortModel&, OperationDeclaration&)> change;
  std::string expected;  // the view's parts, or a piece of the refusal
};

// A document/literal port with one wrapped operation, add(a, b) -> sum, as
// the WSDL reader gives it (one "parameters" part in both messages), with
// `row`'s change made.
PortModel Document(const Row& row) {
  PortModel port;
  port.binding = u"CalcBinding";
  port.bindingNS = WSDL_SOAP12_NS;
  port.style = u"document";
  OperationDeclaration& add = port.operations[u"add"];
  add.ns = u"urn:calc";
  add.action = u"urn:calc#add";
  add.inputUse = add.outputUse = u"literal";
  add.parts.push_back({u"parameters", kAdd, true, true, false, kAddResponse});
  add.inputHeaders[{u"session", u"urn:h"}] = {Xsd(u"string"), u"", u"literal"};
  port.types.push_back({kAdd, kAdd, true, {Member(u"a", u"int"), Member(u"b", u"int")}, {}, 0, {}});
  port.types.push_back({kAddResponse, kAddResponse, true, {Member(u"sum", u"int")}, {}, 0, {}});
  row.change(port, add);
  return port;
}

TEST(WrappedView, MakesTheWrapperMembersTheParts) {
  const Row rows[] = {
      {"request members in, in order; response members out after them", [](PortModel&, auto&) {},
       "a:int in; b:int in; sum:int out; "},
      {"a response in a part of its own (the reader's return value) is out all the same",
       [](auto&, auto& add) {
         add.parts = {{u"request", kAdd, true, false, false, {}}, {u"response", kAddResponse, false, true, true, {}}};
       },
       "a:int in; b:int in; sum:int out; "},
      {"a member of both wrappers is in/out, keeping the response's type",
       [](auto& port, auto&) { TypeOf(port, kAddResponse).members.push_back(Member(u"b", u"string")); },
       "a:int in; b:int/string inout; sum:int out; "},
      {"a one-way operation has only in parameters",
       [](auto&, auto& add) {
         add.parts = {{u"parameters", kAdd, true, false, false, {}}};
         add.outputUse.reset();
       },
       "a:int in; b:int in; "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const PortModel view = RpcViewOfWrappedPort(Document(row));
    EXPECT_EQ(Narrow(view.style), "rpc");
    const OperationDeclaration& add = view.operations.at(u"add");
    std::string parts;
    for (const PartDeclaration& part : add.parts) {
      parts += Narrow(part.name) + ":" + Narrow(part.type.name) +
               (part.outputType ? "/" + Narrow(part.outputType->name) : "") +
               (part.isReturn ? " return; " : part.isIn && part.isOut ? " inout; " : part.isIn ? " in; " : " out; ");
    }
    EXPECT_EQ(parts, row.expected);
    EXPECT_EQ(add.action, u"urn:calc#add") << "the rest of the operation is the document's";
    EXPECT_EQ(add.inputHeaders.size(), 1u);
  }
}

TEST(WrappedView, RefusesWhatIsNotWrapped) {
  const auto extraPart = [](bool in) {
    return [in](auto&, auto& add) {
      add.parts.push_back({u"extra", Xsd(u"int"), in, !in, false, {}});
    };
  };
  const Row rows[] = {
      {"an rpc port", [](auto& port, auto&) { port.style = u"rpc"; }, "the binding CalcBinding is not document style"},
      {"two input parts", extraPart(true),
       "the operation add is not document/literal wrapped: its input must have exactly one body part"},
      {"two output parts", extraPart(false), "its output must have at most one body part"},
      {"a part by type (the reader leaves the namespace empty)", [](auto&, auto& add) { add.ns.clear(); },
       "its input part must name an element, not a type"},
      {"encoded input", [](auto&, auto& add) { add.inputUse = u"encoded"; }, "must be use=\"literal\""},
      {"encoded output", [](auto&, auto& add) { add.outputUse = u"encoded"; }, "must be use=\"literal\""},
      {"a request element named otherwise", [](auto&, auto& add) { add.parts.front().type.name = u"addRequest"; },
       "its wrapper must be the element {urn:calc}add with an anonymous complex type; "
       "the part's type is {urn:calc}addRequest"},
      {"in and out the same element: the handler writes addResponse",
       [](auto&, auto& add) { add.parts.front().outputType.reset(); }, "must be the element {urn:calc}addResponse"},
      {"an undeclared wrapper", [](auto& port, auto&) { port.types.erase(port.types.begin()); },
       "the wrapper {urn:calc}add has no complex type"},
      {"a literal array wrapper: its items would bind as one parameter",
       [](auto& port, auto&) { TypeOf(port, kAdd).literalItem = Member(u"a", u"int"); },
       "the wrapper {urn:calc}add has no complex type"},
      {"two members of one name: the handler binds by name",
       [](auto& port, auto&) { TypeOf(port, kAdd).members.push_back(Member(u"a", u"string")); },
       "the wrapper {urn:calc}add has two members named a"},
  };

  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    try {
      RpcViewOfWrappedPort(Document(row));
      ADD_FAILURE() << "not refused";
    } catch (const WsdlError& error) {
      EXPECT_NE(error.message.find(row.expected), std::string::npos) << error.message;
    }
  }
}

}  // namespace
}  // namespace qxsoap::host
