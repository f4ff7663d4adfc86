// The call's parameters: the command line's NAME=VALUE pairs matched with
// the operation's input parts and handed to the handler as values it can
// write under each part's type.
#include <algorithm>
#include <optional>

#include "call_steps.h"
#include "decode/port_queries.h"
#include "decode/simple_text.h"
#include "decode/simple_types.h"
#include "host/wsdl_source.h"
#include "platform/string_conversion.h"
#include "xml/namespaces.h"

namespace qxsoap::cli {
namespace {

using host::Narrow;

// The writer takes a string as the text of any part whose type maps to a
// VARTYPE (numbers included: the service reads and checks them), of an
// anyType part (as a string) and of a URI; the other built-in types want a
// value of their own kind.
bool WriterTakesText(uint16_t code) { return code <= kAnyType || code == kAnyUri; }

std::optional<std::u16string> OperationNamespace(PortDescription& port, BSTR op) {
  return AskPortText([&](BSTR* ns, VARIANT_BOOL* found) { return port.GetOperationNS(op, ns, found); });
}

// The operation's input parts, in order.
std::vector<std::u16string> InputParts(PortDescription& port, BSTR op) {
  std::vector<std::u16string> inputs;
  LONG position = 0;
  const auto askPart = [&](bool first) {
    return AskPortText([&](BSTR* name, VARIANT_BOOL* found) {
      return first ? port.GetFirstPart(op, name, &position, found) : port.GetNextPart(op, name, &position, found);
    });
  };
  for (std::optional<std::u16string> part = askPart(true); part; part = askPart(false)) {
    VARIANT_BOOL in = VARIANT_FALSE;
    const QueryArgument name(*part);
    if (SUCCEEDED(port.IsInParameter(op, name.get(), &in)) && in == VARIANT_TRUE) inputs.push_back(*part);
  }
  return inputs;
}

std::string JoinedNames(const std::vector<std::u16string>& names) {
  std::string text;
  for (const std::u16string& name : names) text += (text.empty() ? "" : ", ") + Narrow(name);
  return text.empty() ? "none" : text;
}

// `text` as the value of input part `part`, by the part's type.
qxcom::Variant PartValue(PortDescription& port, BSTR op, const std::u16string& part, const std::string& text) {
  const QueryArgument name(part);
  const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
    return port.GetInputPartType(op, name.get(), typeName, typeNS, found);
  });
  if (!type) throw CallError{"the WSDL gives no type for the parameter " + Narrow(part)};
  const std::optional<uint16_t> code =
      IsBuiltInTypeNamespace(type->ns) ? LookUpSimpleType(type->name) : std::nullopt;
  if (!code) {
    throw CallError{Narrow(part) + " is of type {" + Narrow(type->ns) + "}" + Narrow(type->name) +
                    ": arrays, structs and other schema types cannot be given on the command line"};
  }
  qxcom::Variant value;
  const std::u16string wide = qxcom::ToUtf16(text);
  if (WriterTakesText(*code)) {
    V_BSTR(value.get()) = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (!V_BSTR(value.get())) throw CallError{"out of memory"};
    V_VT(value.get()) = VT_BSTR;
  } else if (FAILED(ConvertBuiltInText(*code, wide, value.get()))) {
    throw CallError{Narrow(part) + ": '" + text + "' is not a value of type " + Narrow(type->name)};
  }
  return value;
}

}  // namespace

std::vector<CallArgument> ParseCallArguments(std::span<char* const> args) {
  std::vector<CallArgument> arguments;
  for (const std::string argument : args) {
    const size_t equals = argument.find('=');
    if (equals == std::string::npos || equals == 0) {
      throw CallError{"'" + argument + "' is not a parameter: give NAME=VALUE"};
    }
    arguments.push_back({qxcom::ToUtf16(argument.substr(0, equals)), argument.substr(equals + 1)});
  }
  return arguments;
}

void AddCallParameters(MessageHandler& handler, PortDescription& port, const std::u16string& operation,
                       const std::vector<CallArgument>& arguments) {
  const QueryArgument op(operation);
  const std::optional<std::u16string> ns = OperationNamespace(port, op.get());
  if (!ns) throw CallError{"the service has no operation " + Narrow(operation)};
  const std::vector<std::u16string> inputs = InputParts(port, op.get());
  const auto named = [&](const std::u16string& name) {
    return [&name](const CallArgument& argument) { return argument.name == name; };
  };
  for (const CallArgument& argument : arguments) {
    if (std::find(inputs.begin(), inputs.end(), argument.name) == inputs.end()) {
      throw CallError{Narrow(operation) + " has no parameter " + Narrow(argument.name) + " (its parameters: " +
                      JoinedNames(inputs) + ")"};
    }
    if (std::count_if(arguments.begin(), arguments.end(), named(argument.name)) > 1) {
      throw CallError{"the parameter " + Narrow(argument.name) + " is given twice"};
    }
  }
  handler.SetMethodName(operation);
  handler.SetMethodNS(*ns);
  for (const std::u16string& input : inputs) {
    const auto given = std::find_if(arguments.begin(), arguments.end(), named(input));
    if (given == arguments.end()) {
      throw CallError{"missing the parameter " + Narrow(input) + " (give " + Narrow(input) +
                      "= for an empty value)"};
    }
    const qxcom::Variant value = PartValue(port, op.get(), input, given->value);
    if (handler.AddMethodParam(u"", input, value.get(), true, false) != S_OK) throw CallError{"out of memory"};
  }
}

}  // namespace qxsoap::cli
