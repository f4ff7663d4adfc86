// qxsoap: the project's command-line tool. Dispatches to the subcommand
// named by the first argument; adding one is a line in kCommands and a file.
// `--help` and `-h` are answered here for every subcommand, before it runs,
// so that no subcommand mistakes them for a file or a library name.
#include <algorithm>
#include <cstdio>
#include <span>
#include <string_view>

#include "commands.h"

namespace {

struct Command {
  std::string_view name;
  std::string_view usage;
  std::string_view help;
  int (*run)(std::span<char* const> args);
};

constexpr Command kCommands[] = {
    {"xml", "xml [FILE|-]", "read an XML document and write it back as the handler sees it",
     qxsoap::cli::RunXmlCommand},
    {"wsdl", "wsdl FILE [--port NAME]", "read a WSDL port and print what a host's port description answers",
     qxsoap::cli::RunWsdlCommand},
    {"serve", "serve WSDL [--port NAME] [--listen ADDR:PORT] [--service PROGID] [--threads N] [--trace]",
     "serve the WSDL's port over HTTP, the operations answered by the service object (default "
     "qxsoap.InteropBase); runs until SIGINT or SIGTERM",
     qxsoap::cli::RunServeCommand},
    {"call", "call URL OPERATION [NAME=VALUE]...",
     "call OPERATION of the service at URL (its WSDL read from URL?wsdl) with the given input parameters and "
     "print the results, one NAME = VALUE line each; a SOAP fault is printed with exit status 1, any other "
     "failure is a line on standard error with exit status 2",
     qxsoap::cli::RunCallCommand},
    {"register", "register [LIBRARY]", "register the handler module in the registry",
     qxsoap::cli::RunRegisterCommand},
    {"unregister", "unregister [LIBRARY]", "remove the handler module from the registry",
     qxsoap::cli::RunUnregisterCommand},
};

bool IsHelpFlag(std::string_view argument) { return argument == "--help" || argument == "-h"; }

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

int PrintUsage(std::FILE* stream, int status) {
  std::fputs(
      "usage: qxsoap COMMAND [ARGS]\n"
      "       qxsoap COMMAND --help\n"
      "       qxsoap --version\n\ncommands:\n",
      stream);
  for (const Command& command : kCommands) {
    std::fprintf(stream, "  %-24.*s %.*s\n", int(command.usage.size()), command.usage.data(),
                 int(command.help.size()), command.help.data());
  }
  return status;
}

int PrintCommandHelp(const Command& command) {
  std::printf("usage: qxsoap %.*s\n\n%.*s\n", int(command.usage.size()), command.usage.data(),
              int(command.help.size()), command.help.data());
  return 0;
}

int RejectUnknownCommand(const char* name) {
  std::fprintf(stderr, "qxsoap: unknown command '%s'\n\n", name);
  return PrintUsage(stderr, 2);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return PrintUsage(stderr, 2);
  const std::string_view name = argv[1];
  const std::span<char* const> args(argv + 2, argc - 2);
  if (name == "--version") {
    std::puts("qxsoap " QXSOAP_VERSION);
    return 0;
  }
  if (IsHelpFlag(name) || (name == "help" && args.empty())) return PrintUsage(stdout, 0);
  if (name == "help") {
    const Command* command = FindCommand(args[0]);
    return command ? PrintCommandHelp(*command) : RejectUnknownCommand(args[0]);
  }
  const Command* command = FindCommand(name);
  if (!command) return RejectUnknownCommand(argv[1]);
  if (std::any_of(args.begin(), args.end(), IsHelpFlag)) return PrintCommandHelp(*command);
  return command->run(args);
}
