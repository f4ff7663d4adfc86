// qxsoap wsdl FILE [--port NAME]: reads a WSDL port as a host's port
// description would and prints what it understood, so a user can check a
// WSDL before serving it.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands.h"
#include "host/wsdl_model.h"
#include "host/wsdl_source.h"

namespace qxsoap::cli {
namespace {

using host::Narrow;

// `inner` between `open` and `close`. Appended to a string that starts with
// `open`: a literal prepended to a temporary trips g++ 12's -Wrestrict in
// optimised builds.
std::string Enclosed(std::string_view open, const std::string& inner, std::string_view close) {
  std::string out(open);
  return out.append(inner).append(close);
}

std::string Name(const host::TypeName& name) {
  return name.ns.empty() ? Narrow(name.name)
                         : Enclosed("{", Narrow(name.ns), "}") + Narrow(name.name);
}

std::string Text(const std::optional<std::u16string>& text) {
  return text ? Enclosed("\"", Narrow(*text), "\"") : "none";
}

void PrintBlocks(const char* kind, const host::TypeMap<host::BlockDeclaration>& blocks) {
  // By name and namespace, whatever order the port keeps them in.
  std::vector<std::pair<const host::TypeName*, const host::BlockDeclaration*>> sorted;
  for (const auto& [element, block] : blocks) sorted.emplace_back(&element, &block);
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return *a.first < *b.first; });
  for (const auto& [element, block] : sorted) {
    std::printf("  %s %s: %s", kind, Name(*element).c_str(), Name(block->type).c_str());
    if (!block->use.empty()) std::printf(", use %s", Narrow(block->use).c_str());
    if (!block->encodingStyle.empty())
      std::printf(", encodingStyle %s", Narrow(block->encodingStyle).c_str());
    std::printf("\n");
  }
}

void PrintOperation(const std::u16string& name, const host::OperationDeclaration& operation) {
  std::printf("operation %s\n  namespace %s\n", Narrow(name).c_str(), Text(operation.ns).c_str());
  std::printf("  soapAction %s%s\n", Text(operation.action).c_str(),
              operation.actionRequired == VARIANT_TRUE ? " (required)" : "");
  std::printf("  input use %s, encodingStyle %s\n", Text(operation.inputUse).c_str(),
              Text(operation.inputEncodingStyle).c_str());
  std::printf("  output use %s, encodingStyle %s\n", Text(operation.outputUse).c_str(),
              Text(operation.outputEncodingStyle).c_str());
  for (size_t position = 0; position < operation.parts.size(); ++position) {
    const host::PartDeclaration& part = operation.parts[position];
    const char* direction = part.isReturn             ? "return"
                            : part.isIn && part.isOut ? "in/out"
                            : part.isIn               ? "in"
                                                      : "out";
    if (part.isReturn) {
      std::printf("  part %s: %s, %s\n", Narrow(part.name).c_str(), direction,
                  Name(part.type).c_str());
    } else {
      std::printf("  part %zu %s: %s, %s", position, Narrow(part.name).c_str(), direction,
                  Name(part.type).c_str());
      std::printf(part.outputType ? ", output %s\n" : "\n",
                  part.outputType ? Name(*part.outputType).c_str() : "");
    }
  }
  PrintBlocks("input header", operation.inputHeaders);
  PrintBlocks("output header", operation.outputHeaders);
  PrintBlocks("fault header", operation.faultHeaders);
  PrintBlocks("fault detail", operation.faultDetails);
}

void PrintType(const host::TypeModel& type) {
  std::printf("type %s", Name(type.name).c_str());
  if (type.arrayItem) {
    std::printf(": encoded array of %s, rank %ld\n", Name(*type.arrayItem).c_str(), type.arrayRank);
    return;
  }
  if (type.literalItem) {
    std::printf(": literal array of %s: %s", Name(type.literalItem->element).c_str(),
                Name(type.literalItem->type).c_str());
  } else {
    std::printf(": %s", type.isComplex ? "struct" : "simple");
  }
  std::printf(", base %s\n", Name(type.base).c_str());
  for (const host::MemberModel& member : type.members) {
    std::printf("  member %s: %s\n", Name(member.element).c_str(), Name(member.type).c_str());
  }
}

void Print(const host::PortModel& model) {
  std::printf("service %s, port %s\n", Narrow(model.service).c_str(), Narrow(model.port).c_str());
  std::printf("binding %s: %s, style %s\n", Narrow(model.binding).c_str(),
              Narrow(model.bindingNS).c_str(), Narrow(model.style).c_str());
  if (model.address) {
    std::printf("address %s: host %s, path %s, port %ld\n", Narrow(*model.address).c_str(),
                Narrow(model.host).c_str(), Narrow(model.path).c_str(), model.tcpPort);
  } else {
    std::printf("address none\n");
  }
  for (const auto& [name, operation] : model.operations) PrintOperation(name, operation);
  for (const host::TypeModel& type : model.types) PrintType(type);
}

}  // namespace

int RunWsdlCommand(std::span<char* const> args) {
  std::string file, port;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--port" && i + 1 < args.size()) {
      port = args[++i];
    } else if (file.empty() && !arg.starts_with("-")) {
      file = arg;
    } else {
      file.clear();
      break;
    }
  }
  if (file.empty()) {
    std::fputs("usage: qxsoap wsdl FILE [--port NAME]\n", stderr);
    return 2;
  }
  try {
    Print(host::ReadWsdlPort(file, port));
  } catch (const host::WsdlError& error) {
    std::fprintf(stderr, "qxsoap wsdl: %s:%d: %s\n", error.file.c_str(), error.line,
                 error.message.c_str());
    return 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 2;
}

}  // namespace qxsoap::cli
