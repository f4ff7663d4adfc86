// `qxsoap register [LIBRARY]` and `qxsoap unregister [LIBRARY]`: run the
// module's DllRegisterServer or DllUnregisterServer, so that a user
// registers the installed handler in one step. Without LIBRARY they use the
// libqxsoapmsg this tool is linked with (the installed one, for an installed
// tool); with it they load that library and call its exports.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <span>

#include "commands.h"
#include "qxsoapmsg.h"

namespace qxsoap::cli {
namespace {

using Export = HRESULT (*)();

struct Step {
  const char* command;
  const char* symbol;
  Export linked;
  const char* done;
};

constexpr Step kRegister = {"register", "DllRegisterServer", &DllRegisterServer, "registered"};
constexpr Step kUnregister = {"unregister", "DllUnregisterServer", &DllUnregisterServer,
                              "unregistered"};

// Where the registration goes: the same rule the registry itself follows.
const char* RegistryFile() {
  const char* file = std::getenv("QXCOM_REGISTRY");
  return file && *file ? file : "the user's registry ($XDG_CONFIG_HOME/qxcom/registry)";
}

int Run(const Step& step, std::span<char* const> args) {
  if (args.size() > 1) {
    std::fprintf(stderr, "usage: qxsoap %s [LIBRARY]\n", step.command);
    return 2;
  }
  Export run = step.linked;
  Dl_info linked{};
  const char* library = dladdr(reinterpret_cast<void*>(run), &linked) && linked.dli_fname
                            ? linked.dli_fname
                            : "libqxsoapmsg";
  void* loaded = nullptr;
  if (!args.empty()) {
    library = args[0];
    loaded = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!loaded) {
      std::fprintf(stderr, "qxsoap %s: cannot load %s: %s\n", step.command, library, dlerror());
      return 1;
    }
    run = reinterpret_cast<Export>(dlsym(loaded, step.symbol));
    if (!run) {
      std::fprintf(stderr, "qxsoap %s: %s does not export %s\n", step.command, library,
                   step.symbol);
      dlclose(loaded);
      return 1;
    }
  }
  const HRESULT hr = run();
  if (FAILED(hr)) {
    std::fprintf(stderr, "qxsoap %s: %s failed with HRESULT 0x%08X\n", step.command, step.symbol,
                 unsigned(hr));
  } else {
    std::printf("%s %s in %s\n", step.done, library, RegistryFile());
  }
  if (loaded) dlclose(loaded);
  return FAILED(hr) ? 1 : 0;
}

}  // namespace

int RunRegisterCommand(std::span<char* const> args) { return Run(kRegister, args); }

int RunUnregisterCommand(std::span<char* const> args) { return Run(kUnregister, args); }

}  // namespace qxsoap::cli
