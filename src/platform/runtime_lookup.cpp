// Reading class and ProgID entries of HKEY_CLASSES_ROOT through the registry calls.
#include "platform/runtime_lookup.h"

#include <cstdlib>

#include "qxcom/oleauto.h"
#include "qxcom/registry.h"

namespace qxcom {
namespace {

// Closes a registry key when it goes out of scope.
class KeyHandle {
 public:
  KeyHandle() = default;
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  ~KeyHandle() {
    if (key_) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }
  HKEY* put() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

LONG ReadClassesRootText(const std::u16string& path, std::u16string* text, bool* expandable) {
  KeyHandle key;
  if (LONG error = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, key.put())) {
    return error;
  }
  DWORD type = 0, size = 0;
  if (LONG error = RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &size)) return error;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_BADDB;
  std::u16string units((size + 1) / 2, u'\0');
  if (LONG error = RegQueryValueExW(key.get(), nullptr, nullptr, &type,
                                    reinterpret_cast<BYTE*>(units.data()), &size)) {
    return error;  // changed between the two reads: report rather than retry
  }
  units.resize(size / 2);
  *text = units.substr(0, units.find(u'\0'));
  if (expandable) *expandable = type == REG_EXPAND_SZ;
  return ERROR_SUCCESS;
}

std::u16string ClassKeyPath(REFCLSID clsid) {
  OLECHAR braced[39];
  StringFromGUID2(clsid, braced, 39);
  return u"CLSID\\" + std::u16string(braced);
}

std::string ExpandEnvironment(std::string_view text) {
  std::string expanded;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t open = text.find('%', pos);
    size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
    if (close == std::string_view::npos) break;
    std::string name(text.substr(open + 1, close - open - 1));
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    expanded.append(text.substr(pos, open - pos));
    if (value) {
      expanded.append(value);
    } else {
      expanded.append(text.substr(open, close - open + 1));
    }
    pos = close + 1;
  }
  expanded.append(text.substr(pos));
  return expanded;
}

}  // namespace qxcom
