// Applies the registration scripts in register or unregister mode.
#include "frame/registration.h"

#include <dlfcn.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "frame/method_table.h"
#include "qxcom/registry.h"
#include "qxcom/stringapi.h"
#include "qxsoapmsg.h"
#include "resources/registration_scripts.h"

namespace qxsoap {
namespace {

struct Variable {
  std::u16string_view name;
  std::u16string value;
};

std::u16string Braced(const GUID& id) {
  OLECHAR text[39];
  StringFromGUID2(id, text, 39);
  return text;
}

std::u16string DirectoryOf(std::u16string_view path) {
  const size_t slash = path.rfind(u'/');
  return std::u16string(slash == std::u16string_view::npos ? u"" : path.substr(0, slash));
}

std::vector<Variable> ScriptVariables(std::u16string_view modulePath) {
  const std::string slots = std::to_string(kFirstMethodSlot + kMethodCount);
  return {
      {u"%MODULE%", std::u16string(modulePath)},
      {u"%MODULEDIR%", DirectoryOf(modulePath)},
      {u"%APPID%", Braced(APPID_qxsoapmsg)},
      {u"%CLSID%", Braced(CLSID_qxsoapmsg2)},
      {u"%STRUCTCLSID%", Braced(CLSID_StructObject)},
      {u"%IID%", Braced(IID_Iqxsoapmsg2)},
      {u"%LIBID%", Braced(LIBID_qxsoapmsgLib)},
      {u"%NUMMETHODS%", std::u16string(slots.begin(), slots.end())},
  };
}

std::u16string Substitute(std::u16string_view text, const std::vector<Variable>& variables) {
  std::u16string out(text);
  for (const Variable& variable : variables) {
    for (size_t at = out.find(variable.name); at != std::u16string::npos;
         at = out.find(variable.name, at + variable.value.size())) {
      out.replace(at, variable.name.size(), variable.value);
    }
  }
  return out;
}

HRESULT FromRegistry(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

HRESULT WriteKey(const ScriptKey& key, const std::vector<Variable>& variables) {
  const std::u16string path = Substitute(key.path, variables);
  if (key.replaceOnRegister) {
    const LONG deleted = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (deleted != ERROR_FILE_NOT_FOUND) {
      if (HRESULT hr = FromRegistry(deleted); FAILED(hr)) return hr;
    }
  }
  HKEY handle = nullptr;
  LONG error = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &handle, nullptr);
  for (const ScriptValue& value : key.values) {
    if (error != ERROR_SUCCESS || !value.data) continue;
    const std::u16string data = Substitute(value.data, variables);
    error = RegSetValueExW(handle, value.name, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()),
                           DWORD((data.size() + 1) * sizeof(char16_t)));
  }
  if (handle) RegCloseKey(handle);
  return FromRegistry(error);
}

// A key that is gone already, or that still has subkeys the script does not
// name, is left as it is.
HRESULT RemoveKey(const ScriptKey& key, const std::vector<Variable>& variables) {
  if (key.removal == KeyRemoval::kNever) return S_OK;
  const std::u16string path = Substitute(key.path, variables);
  const LONG error = key.removal == KeyRemoval::kTree
                         ? RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str())
                         : RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
  if (error == ERROR_FILE_NOT_FOUND) return S_OK;
  if (error == ERROR_ACCESS_DENIED && key.removal == KeyRemoval::kKey) return S_OK;
  return FromRegistry(error);
}

HRESULT Register(std::span<const ScriptKey> script, const std::vector<Variable>& variables) {
  for (const ScriptKey& key : script) {
    if (HRESULT hr = WriteKey(key, variables); FAILED(hr)) return hr;
  }
  return S_OK;
}

// Children before parents: the scripts list parents first.
HRESULT Unregister(std::span<const ScriptKey> script, const std::vector<Variable>& variables) {
  HRESULT first = S_OK;
  for (auto key = script.rbegin(); key != script.rend(); ++key) {
    const HRESULT hr = RemoveKey(*key, variables);
    if (SUCCEEDED(first)) first = hr;
  }
  return first;
}

// Runs `apply` as one registry transaction: a registration racing an
// unregistration, in this process or another, leaves all of it or none.
template <typename Apply>
HRESULT AsOneTransaction(Apply apply) {
  struct Context {
    Apply& apply;
    HRESULT result = S_OK;
  } context{apply};
  const LONG error = QxRunRegistryTransaction(
      [](void* raw) -> LONG {
        Context& context = *static_cast<Context*>(raw);
        context.result = context.apply();
        return SUCCEEDED(context.result) ? ERROR_SUCCESS : LONG(context.result);
      },
      &context);
  return FAILED(context.result) ? context.result : FromRegistry(error);
}

}  // namespace

HRESULT RegisterModule(std::u16string_view modulePath) {
  const std::vector<Variable> variables = ScriptVariables(modulePath);
  return AsOneTransaction([&] {
    for (std::span<const ScriptKey> script :
         {std::span<const ScriptKey>(kApplicationScript), std::span<const ScriptKey>(kClassScript),
          std::span<const ScriptKey>(kStructClassScript),
          std::span<const ScriptKey>(kInterfaceScript)}) {
      if (HRESULT hr = Register(script, variables); FAILED(hr)) return hr;
    }
    return S_OK;
  });
}

HRESULT UnregisterModule() {
  const std::vector<Variable> variables = ScriptVariables(u"");
  return AsOneTransaction([&] {
    HRESULT first = S_OK;
    for (std::span<const ScriptKey> script :
         {std::span<const ScriptKey>(kClassScript), std::span<const ScriptKey>(kStructClassScript),
          std::span<const ScriptKey>(kInterfaceScript),
          std::span<const ScriptKey>(kApplicationScript)}) {
      const HRESULT hr = Unregister(script, variables);
      if (SUCCEEDED(first)) first = hr;
    }
    return first;
  });
}

// The path the loader used, made absolute but with symbolic links kept, so
// that a registration through libqxsoapmsg.so.2 survives an upgrade of the
// file it points to.
std::u16string ModulePath() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModulePath), &info) || !info.dli_fname) return {};
  std::error_code error;
  const std::string path =
      std::filesystem::absolute(info.dli_fname, error).lexically_normal().string();
  if (error || path.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::u16string wide(size_t(length), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), length);
  wide.pop_back();  // the terminating null the count included
  return wide;
}

}  // namespace qxsoap
