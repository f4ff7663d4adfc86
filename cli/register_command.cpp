// `qxsoap register [LIBRARY]` and `qxsoap unregister [LIBRARY]`: run the
// module's DllRegisterServer or DllUnregisterServer, so that a user
// registers the installed handler in one step. Without LIBRARY they use the
// libqxsoapmsg this tool is linked with (the installed one, for an installed
// tool); with it they load that library and call its exports. Messages
// name the registry file the platform layer uses.
#include <dlfcn.h>

#include <cstdio>
#include <span>
#include <string>

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
  bool removes;  // unregistering: say so when nothing was registered
};

constexpr Step kRegister = {"register", "DllRegisterServer", &DllRegisterServer, "registered",
                            false};
constexpr Step kUnregister = {"unregister", "DllUnregisterServer", &DllUnregisterServer,
                              "unregistered", true};

// The registry file as the platform layer finds it.
std::string RegistryFile() {
  DWORD size = 0;
  std::string file;
  if (QxGetRegistryFile(nullptr, &size) == ERROR_SUCCESS) {
    file.resize(size);
    if (QxGetRegistryFile(file.data(), &size) == ERROR_SUCCESS) {
      file.resize(size - 1);  // the terminating null
      return file;
    }
  }
  return "(none: no QXCOM_REGISTRY, XDG_CONFIG_HOME or home directory)";
}

// Whether the class key is in the registry. Asked before unregistering, so
// that the user learns when there was nothing to remove; it only picks the
// message, so it need not share the unregistration's transaction. A store
// that cannot be read counts as registered: unregistering reports its error.
bool ClassIsRegistered() {
  OLECHAR classId[39];
  StringFromGUID2(CLSID_qxsoapmsg2, classId, 39);
  HKEY key = nullptr;
  const std::u16string path = u"CLSID\\" + std::u16string(classId);
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) == ERROR_FILE_NOT_FOUND) {
    return false;
  }
  if (key) RegCloseKey(key);
  return true;
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
  // Another module's classes are not known here: only the handler's own
  // unregistration can tell that nothing was registered.
  const bool wasRegistered = !step.removes || loaded || ClassIsRegistered();
  const HRESULT hr = run();
  const std::string file = RegistryFile();
  if (FAILED(hr)) {
    std::fprintf(stderr, "qxsoap %s: %s failed with HRESULT 0x%08X (registry file %s)\n",
                 step.command, step.symbol, unsigned(hr), file.c_str());
  } else if (!wasRegistered) {
    std::printf("nothing was registered in %s\n", file.c_str());
  } else {
    std::printf("%s %s in %s\n", step.done, library, file.c_str());
  }
  if (loaded) dlclose(loaded);
  return FAILED(hr) ? 1 : 0;
}

}  // namespace

int RunRegisterCommand(std::span<char* const> args) { return Run(kRegister, args); }

int RunUnregisterCommand(std::span<char* const> args) { return Run(kUnregister, args); }

}  // namespace qxsoap::cli
