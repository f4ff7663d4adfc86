// The subcommands of the qxsoap tool. Each takes the arguments after its
// name and returns the process exit status.
#ifndef QXSOAP_CLI_COMMANDS_H_
#define QXSOAP_CLI_COMMANDS_H_

#include <span>

namespace qxsoap::cli {

int RunXmlCommand(std::span<char* const> args);
int RunWsdlCommand(std::span<char* const> args);
int RunRegisterCommand(std::span<char* const> args);
int RunUnregisterCommand(std::span<char* const> args);
int RunServeCommand(std::span<char* const> args);
int RunCallCommand(std::span<char* const> args);

}  // namespace qxsoap::cli

#endif  // QXSOAP_CLI_COMMANDS_H_
