// Applies the registration scripts in register or unregister mode.
#include "frame/registration.h"

#include <string>
#include <vector>

#include "frame/method_table.h"
#include "qxcom/server.h"
#include "qxsoapmsg.h"
#include "resources/registration_scripts.h"

namespace qxsoap {
namespace {

using qxcom::BracedGuid;
using qxcom::ScriptRun;
using qxcom::ScriptVariable;

std::u16string DirectoryOf(std::u16string_view path) {
  const size_t slash = path.rfind(u'/');
  return std::u16string(slash == std::u16string_view::npos ? u"" : path.substr(0, slash));
}

std::vector<ScriptVariable> ScriptVariables(std::u16string_view modulePath) {
  const std::string slots = std::to_string(kFirstMethodSlot + kMethodCount);
  return {
      {u"%MODULE%", std::u16string(modulePath)},
      {u"%MODULEDIR%", DirectoryOf(modulePath)},
      {u"%APPID%", BracedGuid(APPID_qxsoapmsg)},
      {u"%CLSID%", BracedGuid(CLSID_qxsoapmsg2)},
      {u"%STRUCTCLSID%", BracedGuid(CLSID_StructObject)},
      {u"%IID%", BracedGuid(IID_Iqxsoapmsg2)},
      {u"%LIBID%", BracedGuid(LIBID_qxsoapmsgLib)},
      {u"%NUMMETHODS%", std::u16string(slots.begin(), slots.end())},
  };
}

}  // namespace

HRESULT RegisterModule(std::u16string_view modulePath) {
  const std::vector<ScriptVariable> variables = ScriptVariables(modulePath);
  const ScriptRun runs[] = {{kApplicationScript, variables},
                            {kClassScript, variables},
                            {kStructClassScript, variables},
                            {kInterfaceScript, variables}};
  return qxcom::RegisterScripts(runs);
}

HRESULT UnregisterModule() {
  const std::vector<ScriptVariable> variables = ScriptVariables(u"");
  const ScriptRun runs[] = {{kClassScript, variables},
                            {kStructClassScript, variables},
                            {kInterfaceScript, variables},
                            {kApplicationScript, variables}};
  return qxcom::UnregisterScripts(runs);
}

std::u16string ModulePath() { return qxcom::ModulePathOf(reinterpret_cast<void*>(&ModulePath)); }

}  // namespace qxsoap
