// The Windows registry calls: key handles, their checks, and each call as a
// read of the store or a locked update of it.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/registry_format.h"
#include "platform/registry_store.h"
#include "platform/runtime_guard.h"
#include "qxcom/registry.h"

using qxcom::RegistryKey;
using qxcom::RegistryRoot;
using qxcom::RegistryTree;
using qxcom::RegistryValue;

namespace {

constexpr size_t kMaxValueNameLength = 16383;

// What a handle names: a key by its path below a root, and what the handle
// may do with it.
struct KeyRef {
  RegistryRoot root;
  std::vector<std::u16string> path;
  REGSAM access;
};

std::mutex handlesMutex;
std::unordered_set<KeyRef*> openKeys;

const HKEY kPredefinedKeys[qxcom::kRootCount] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
                                                 HKEY_LOCAL_MACHINE};

bool Allows(const KeyRef& key, REGSAM needed) {
  return (key.access & MAXIMUM_ALLOWED) != 0 || (key.access & needed) == needed;
}

// Copies what `handle` names into *ref.
LONG Locate(HKEY handle, KeyRef* ref) {
  for (int root = 0; root < qxcom::kRootCount; ++root) {
    if (handle == kPredefinedKeys[root]) {
      *ref = {RegistryRoot(root), {}, KEY_ALL_ACCESS};
      return ERROR_SUCCESS;
    }
  }
  std::lock_guard lock(handlesMutex);
  auto found = openKeys.find(reinterpret_cast<KeyRef*>(handle));
  if (found == openKeys.end()) return ERROR_INVALID_HANDLE;
  *ref = **found;
  return ERROR_SUCCESS;
}

HKEY NewHandle(KeyRef ref) {
  auto key = std::make_unique<KeyRef>(std::move(ref));
  std::lock_guard lock(handlesMutex);
  openKeys.insert(key.get());
  return reinterpret_cast<HKEY>(key.release());
}

// Splits "a\b\c" into its names. A null or empty path has none; a trailing
// backslash is allowed, any other empty name is not.
LONG SplitPath(LPCWSTR subKey, std::vector<std::u16string>* names) {
  if (!subKey) return ERROR_SUCCESS;
  std::u16string_view rest(subKey);
  while (!rest.empty()) {
    size_t end = rest.find(u'\\');
    if (end == 0) return ERROR_BAD_PATHNAME;
    names->emplace_back(rest.substr(0, end));
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
  }
  return ERROR_SUCCESS;
}

std::vector<std::u16string> Joined(const std::vector<std::u16string>& path,
                                   const std::vector<std::u16string>& more) {
  std::vector<std::u16string> joined(path);
  joined.insert(joined.end(), more.begin(), more.end());
  return joined;
}

std::u16string_view NameOrDefault(LPCWSTR name) { return name ? name : u""; }

// Copies what `handle` names into *ref when the handle may do `needed`.
LONG LocateFor(HKEY handle, REGSAM needed, KeyRef* ref) {
  if (LONG error = Locate(handle, ref)) return error;
  return Allows(*ref, needed) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Copies what `handle` names into *ref and the names of `subKey` below it
// into *names.
LONG LocatePath(HKEY handle, LPCWSTR subKey, KeyRef* ref, std::vector<std::u16string>* names) {
  if (LONG error = Locate(handle, ref)) return error;
  return SplitPath(subKey, names);
}

// A key as the store held it when read; `tree` keeps `key` alive.
struct KeySnapshot {
  std::shared_ptr<const RegistryTree> tree;
  const RegistryKey* key = nullptr;
};

// Loads the store and finds the key that `ref` names.
LONG ReadKey(const KeyRef& ref, KeySnapshot* read) {
  if (LONG error = qxcom::LoadRegistry(&read->tree)) return error;
  read->key = read->tree->Find(ref.root, ref.path);
  return read->key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// Reads the key that `handle` names when the handle may do `needed`.
LONG ReadKeyFor(HKEY handle, REGSAM needed, KeySnapshot* read) {
  KeyRef ref;
  if (LONG error = LocateFor(handle, needed, &ref)) return error;
  return ReadKey(ref, read);
}

// Changes the key that `ref` names under the store's lock.
template <typename Change>
LONG UpdateKey(const KeyRef& ref, Change&& change) {
  return qxcom::UpdateRegistry([&](RegistryTree& tree) -> LONG {
    RegistryKey* key = tree.Find(ref.root, ref.path);
    return key ? change(*key) : ERROR_KEY_DELETED;
  });
}

// The RegQueryValueEx protocol for handing out a value's type and bytes.
LONG DeliverValue(const RegistryValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (type) *type = value.type;
  if (!size) return ERROR_SUCCESS;
  DWORD needed = DWORD(value.data.size());
  if (data && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data && needed != 0) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

// The RegEnumKeyEx protocol for handing out a name: the capacity counts the
// terminating null, the length written back does not.
LONG DeliverName(std::u16string_view name, LPWSTR out, LPDWORD length) {
  if (*length <= name.size()) return ERROR_MORE_DATA;
  std::memcpy(out, name.data(), name.size() * sizeof(WCHAR));
  out[name.size()] = u'\0';
  *length = DWORD(name.size());
  return ERROR_SUCCESS;
}

// Removes the key that `path` names below the root of `ref`, whose own key
// must still exist. With `leafOnly` a key that has subkeys is refused.
LONG RemoveKey(const KeyRef& ref, const std::vector<std::u16string>& path, bool leafOnly) {
  return qxcom::UpdateRegistry([&](RegistryTree& tree) -> LONG {
    if (!tree.Find(ref.root, ref.path)) return ERROR_KEY_DELETED;
    RegistryKey* owner = tree.Find(ref.root, {path.begin(), path.end() - 1});
    RegistryKey* doomed = owner ? owner->FindSubkey(path.back()) : nullptr;
    if (!doomed) return ERROR_FILE_NOT_FOUND;
    if (leafOnly && !doomed->subkeys().empty()) return ERROR_ACCESS_DENIED;
    owner->RemoveSubkey(path.back());
    return ERROR_SUCCESS;
  });
}

// Empties the class name a caller passed, as this registry keeps none.
void ClearClass(LPWSTR keyClass, LPDWORD classLength) {
  if (keyClass && classLength && *classLength > 0) keyClass[0] = u'\0';
  if (classLength) *classLength = 0;
}

}  // namespace

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (options & ~DWORD(REG_OPTION_VOLATILE)) return ERROR_INVALID_PARAMETER;
    KeyRef parent;
    std::vector<std::u16string> names;
    if (LONG error = LocatePath(key, subKey, &parent, &names)) return error;
    for (const std::u16string& name : names) {
      if (!qxcom::IsValidKeyName(name)) return ERROR_INVALID_PARAMETER;
    }
    if (parent.path.size() + names.size() > qxcom::kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    bool created = false;
    LONG error = UpdateKey(parent, [&](RegistryKey& at) -> LONG {
      RegistryKey* current = &at;
      for (const std::u16string& name : names) {
        RegistryKey* next = current->FindSubkey(name);
        if (!next) {
          if (!Allows(parent, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
          next = &current->AddSubkey(name);
          created = true;
        }
        current = next;
      }
      return ERROR_SUCCESS;
    });
    if (error) return error;
    *result = NewHandle({parent.root, Joined(parent.path, names), access});
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
  });
}

LONG RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result) {
  return RegCreateKeyExW(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         result, nullptr);
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyRef parent;
    std::vector<std::u16string> names;
    if (LONG error = LocatePath(key, subKey, &parent, &names)) return error;
    KeySnapshot read;
    if (LONG error = ReadKey(parent, &read)) return error;
    const RegistryKey* at = read.key;
    for (const std::u16string& name : names) {
      at = at->FindSubkey(name);
      if (!at) return ERROR_FILE_NOT_FOUND;
    }
    *result = NewHandle({parent.root, Joined(parent.path, names), access});
    return ERROR_SUCCESS;
  });
}

LONG RegOpenKeyW(HKEY key, LPCWSTR subKey, PHKEY result) {
  return RegOpenKeyExW(key, subKey, 0, KEY_ALL_ACCESS, result);
}

LONG RegCloseKey(HKEY key) {
  for (HKEY predefined : kPredefinedKeys) {
    if (key == predefined) return ERROR_SUCCESS;
  }
  std::unique_ptr<KeyRef> closing;
  std::lock_guard lock(handlesMutex);
  auto found = openKeys.find(reinterpret_cast<KeyRef*>(key));
  if (found == openKeys.end()) return ERROR_INVALID_HANDLE;
  closing.reset(*found);
  openKeys.erase(found);
  return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    std::u16string_view valueName = NameOrDefault(name);
    if ((!data && size != 0) || valueName.size() > kMaxValueNameLength) {
      return ERROR_INVALID_PARAMETER;
    }
    KeyRef ref;
    if (LONG error = LocateFor(key, KEY_SET_VALUE, &ref)) return error;
    std::vector<BYTE> bytes(data, data + size);
    return UpdateKey(ref, [&](RegistryKey& at) -> LONG {
      at.SetValue(valueName, type, std::move(bytes));
      return ERROR_SUCCESS;
    });
  });
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    KeySnapshot read;
    if (LONG error = ReadKeyFor(key, KEY_QUERY_VALUE, &read)) return error;
    const RegistryValue* value = read.key->FindValue(NameOrDefault(name));
    if (!value) return ERROR_FILE_NOT_FOUND;
    return DeliverValue(*value, type, data, size);
  });
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    KeyRef ref;
    if (LONG error = LocateFor(key, KEY_SET_VALUE, &ref)) return error;
    return UpdateKey(ref, [&](RegistryKey& at) -> LONG {
      return at.RemoveValue(NameOrDefault(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
  });
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (!subKey) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    std::vector<std::u16string> names;
    if (LONG error = LocatePath(key, subKey, &ref, &names)) return error;
    std::vector<std::u16string> path = Joined(ref.path, names);
    if (path.empty()) return ERROR_ACCESS_DENIED;  // a predefined root stays
    return RemoveKey(ref, path, true);
  });
}

LONG RegDeleteTreeW(HKEY key, LPCWSTR subKey) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    KeyRef ref;
    std::vector<std::u16string> names;
    if (LONG error = LocatePath(key, subKey, &ref, &names)) return error;
    if (names.empty()) {
      return UpdateKey(ref, [](RegistryKey& at) -> LONG {
        at.Clear();
        return ERROR_SUCCESS;
      });
    }
    return RemoveKey(ref, Joined(ref.path, names), false);
  });
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPWSTR keyClass, LPDWORD classLength, PFILETIME lastWrite) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (!name || !nameLength || reserved) return ERROR_INVALID_PARAMETER;
    KeySnapshot read;
    if (LONG error = ReadKeyFor(key, KEY_ENUMERATE_SUB_KEYS, &read)) return error;
    const RegistryKey* at = read.key;
    if (index >= at->subkeys().size()) return ERROR_NO_MORE_ITEMS;
    auto subkey = std::next(at->subkeys().begin(), index);
    if (LONG error = DeliverName(subkey->second->name(), name, nameLength)) return error;
    ClearClass(keyClass, classLength);
    if (lastWrite) *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classLength, LPDWORD reserved,
                      LPDWORD subkeyCount, LPDWORD maxSubkeyLength, LPDWORD maxClassLength,
                      LPDWORD valueCount, LPDWORD maxValueNameLength, LPDWORD maxValueSize,
                      LPDWORD securitySize, PFILETIME lastWrite) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (reserved) return ERROR_INVALID_PARAMETER;
    KeySnapshot read;
    if (LONG error = ReadKeyFor(key, KEY_QUERY_VALUE, &read)) return error;
    const RegistryKey* at = read.key;
    DWORD longestSubkey = 0, longestName = 0, largestValue = 0;
    for (const auto& [folded, subkey] : at->subkeys()) {
      longestSubkey = std::max(longestSubkey, DWORD(subkey->name().size()));
    }
    for (const RegistryValue& value : at->values()) {
      longestName = std::max(longestName, DWORD(value.name.size()));
      largestValue = std::max(largestValue, DWORD(value.data.size()));
    }
    ClearClass(keyClass, classLength);
    for (LPDWORD zero : {maxClassLength, securitySize}) {
      if (zero) *zero = 0;
    }
    if (subkeyCount) *subkeyCount = DWORD(at->subkeys().size());
    if (maxSubkeyLength) *maxSubkeyLength = longestSubkey;
    if (valueCount) *valueCount = DWORD(at->values().size());
    if (maxValueNameLength) *maxValueNameLength = longestName;
    if (maxValueSize) *maxValueSize = largestValue;
    if (lastWrite) *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD size) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (!name || !nameLength || reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    KeySnapshot read;
    if (LONG error = ReadKeyFor(key, KEY_QUERY_VALUE, &read)) return error;
    if (index >= read.key->values().size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = read.key->values()[index];
    if (LONG error = DeliverName(value.name, name, nameLength)) return error;
    return DeliverValue(value, type, data, size);
  });
}
