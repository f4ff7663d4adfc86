// A module's own path, and registration scripts applied in register or
// unregister mode.
#include <dlfcn.h>

#include <filesystem>

#include "qxcom/oleauto.h"
#include "qxcom/registry.h"
#include "qxcom/server.h"
#include "qxcom/stringapi.h"

namespace qxcom {
namespace {

std::u16string Substitute(std::u16string_view text, std::span<const ScriptVariable> variables) {
  std::u16string out(text);
  for (const ScriptVariable& variable : variables) {
    for (size_t at = out.find(variable.name); at != std::u16string::npos;
         at = out.find(variable.name, at + variable.value.size())) {
      out.replace(at, variable.name.size(), variable.value);
    }
  }
  return out;
}

HRESULT FromRegistry(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

HRESULT WriteKey(const ScriptKey& key, std::span<const ScriptVariable> variables) {
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
HRESULT RemoveKey(const ScriptKey& key, std::span<const ScriptVariable> variables) {
  if (key.removal == KeyRemoval::kNever) return S_OK;
  const std::u16string path = Substitute(key.path, variables);
  const LONG error = key.removal == KeyRemoval::kTree
                         ? RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str())
                         : RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
  if (error == ERROR_FILE_NOT_FOUND) return S_OK;
  if (error == ERROR_ACCESS_DENIED && key.removal == KeyRemoval::kKey) return S_OK;
  return FromRegistry(error);
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

std::u16string ModulePathOf(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return {};
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

std::u16string BracedGuid(const GUID& id) {
  OLECHAR text[39];
  StringFromGUID2(id, text, 39);
  return text;
}

HRESULT RegisterScripts(std::span<const ScriptRun> runs) {
  return AsOneTransaction([&] {
    for (const ScriptRun& run : runs) {
      for (const ScriptKey& key : run.script) {
        if (HRESULT hr = WriteKey(key, run.variables); FAILED(hr)) return hr;
      }
    }
    return S_OK;
  });
}

HRESULT UnregisterScripts(std::span<const ScriptRun> runs) {
  return AsOneTransaction([&] {
    HRESULT first = S_OK;
    for (const ScriptRun& run : runs) {
      for (auto key = run.script.rbegin(); key != run.script.rend(); ++key) {
        const HRESULT hr = RemoveKey(*key, run.variables);
        if (SUCCEEDED(first)) first = hr;
      }
    }
    return first;
  });
}

}  // namespace qxcom
