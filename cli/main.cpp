// qxsoap: the project's command-line tool. Dispatches to the subcommand
// named by the first argument; adding one is a line in kCommands and a file.
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
    {"register", "register [LIBRARY]", "register the handler module in the registry",
     qxsoap::cli::RunRegisterCommand},
    {"unregister", "unregister [LIBRARY]", "remove the handler module from the registry",
     qxsoap::cli::RunUnregisterCommand},
};

int PrintUsage(std::FILE* stream, int status) {
  std::fputs("usage: qxsoap COMMAND [ARGS]\n\ncommands:\n", stream);
  for (const Command& command : kCommands) {
    std::fprintf(stream, "  %-24.*s %.*s\n", int(command.usage.size()), command.usage.data(),
                 int(command.help.size()), command.help.data());
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return PrintUsage(stderr, 2);
  const std::string_view name = argv[1];
  if (name == "-h" || name == "--help" || name == "help") return PrintUsage(stdout, 0);
  for (const Command& command : kCommands) {
    if (command.name == name) return command.run(std::span<char* const>(argv + 2, argc - 2));
  }
  std::fprintf(stderr, "qxsoap: unknown command '%s'\n\n", argv[1]);
  return PrintUsage(stderr, 2);
}
