// The rpc view of a document/literal wrapped port: the wrapper elements'
// members become the operation's parts.
#include "host/wrapped_document.h"

#include <algorithm>
#include <exception>
#include <set>

#include "host/wsdl_source.h"

namespace qxsoap::host {
namespace {

[[noreturn]] void Refuse(const std::u16string& operation, const std::string& why) {
  throw WsdlError{"", 0, Joined({"the operation ", Narrow(operation), " is not document/literal wrapped: ", why})};
}

std::string Described(const TypeName& name) { return Joined({"{", Narrow(name.ns), "}", Narrow(name.name)}); }

const TypeModel* FindType(const PortModel& port, const TypeName& name) {
  auto found = std::find_if(port.types.begin(), port.types.end(),
                            [&](const TypeModel& type) { return type.name == name; });
  return found == port.types.end() ? nullptr : &*found;
}

// The members of the wrapper element `expected`, which the message part of
// type `actual` must be. The reader names the anonymous type of a global
// element after the element, so the type names the element too; a wrapper
// element of a named type is refused, as the model cannot tell its name.
const std::vector<MemberModel>& WrapperMembers(const PortModel& port, const std::u16string& operation,
                                               const TypeName& expected, const TypeName& actual) {
  if (actual != expected) {
    Refuse(operation,
           Joined({"its wrapper must be the element ", Described(expected),
                   " with an anonymous complex type; the part's type is ", Described(actual)}));
  }
  const TypeModel* type = FindType(port, expected);
  if (!type || !type->isComplex || type->arrayItem || type->literalItem) {
    Refuse(operation,
           Joined({"the wrapper ", Described(expected), " has no complex type with a sequence of members"}));
  }
  std::set<std::u16string> names;
  for (const MemberModel& member : type->members) {
    // The handler writes parameters unqualified and binds them by local name.
    if (!member.element.ns.empty())
      Refuse(operation, Joined({"the member ", Described(member.element), " of ", Described(expected),
                                " is namespace-qualified; wrapper members must be unqualified "
                                "(elementFormDefault=\"unqualified\")"}));
    if (!names.insert(member.element.name).second)
      Refuse(operation, Joined({"the wrapper ", Described(expected), " has two members named ",
                                Narrow(member.element.name)}));
  }
  return type->members;
}

bool IsLiteral(const std::optional<std::u16string>& use) { return use && *use == u"literal"; }

OperationDeclaration RpcView(const PortModel& port, const std::u16string& name,
                             const OperationDeclaration& document) {
  std::vector<const PartDeclaration*> inputs, outputs;
  for (const PartDeclaration& part : document.parts) {
    if (part.isIn) inputs.push_back(&part);
    if (part.isOut) outputs.push_back(&part);
  }
  if (inputs.size() != 1) Refuse(name, "its input must have exactly one body part");
  if (outputs.size() > 1) Refuse(name, "its output must have at most one body part");
  if (document.ns.empty()) Refuse(name, "its input part must name an element, not a type");
  if (!IsLiteral(document.inputUse) || (!outputs.empty() && !IsLiteral(document.outputUse)))
    Refuse(name, "its input and output must be use=\"literal\"");

  OperationDeclaration view = document;
  view.parts.clear();
  for (const MemberModel& member : WrapperMembers(port, name, {name, document.ns}, inputs.front()->type)) {
    view.parts.push_back({member.element.name, member.type, true, false, false, {}});
  }
  if (outputs.empty()) return view;
  const PartDeclaration& output = *outputs.front();
  const TypeName& outputType = output.outputType ? *output.outputType : output.type;
  for (const MemberModel& member :
       WrapperMembers(port, name, {name + u"Response", document.ns}, outputType)) {
    auto same = std::find_if(view.parts.begin(), view.parts.end(),
                             [&](const PartDeclaration& part) { return part.name == member.element.name; });
    if (same == view.parts.end()) {
      view.parts.push_back({member.element.name, member.type, false, true, false, {}});
      continue;
    }
    same->isOut = true;
    if (member.type != same->type) same->outputType = member.type;
  }
  return view;
}

}  // namespace

PortModel RpcViewOfWrappedPort(const PortModel& document) {
  if (document.style != u"document")
    throw WsdlError{"", 0, Joined({"the binding ", Narrow(document.binding), " is not document style"})};
  PortModel view = document;
  view.style = u"rpc";
  for (auto& [name, operation] : view.operations) operation = RpcView(document, name, operation);
  return view;
}

PortDescription* LoadServedPort(const char* path, const char* portName, WsdlError* error,
                                bool* documentView, std::vector<std::u16string>* operations) {
  try {
    PortModel model = ReadWsdlPort(path ? path : "", portName ? portName : "");
    const bool view = model.style != u"rpc";
    if (view) model = RpcViewOfWrappedPort(model);
    if (documentView) *documentView = view;
    if (operations) {
      for (const auto& entry : model.operations) operations->push_back(entry.first);
    }
    return DescribePort(model).release();
  } catch (const WsdlError& refused) {
    *error = refused;
    if (error->file.empty()) error->file = path ? path : "";
  } catch (const std::exception& failure) {
    *error = {path ? path : "", 0, failure.what()};
  }
  return nullptr;
}

}  // namespace qxsoap::host
