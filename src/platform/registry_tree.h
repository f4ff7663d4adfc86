// The registry's contents in memory: keys with case-insensitive names,
// their values and subkeys, under the predefined roots.
#ifndef QXSOAP_PLATFORM_REGISTRY_TREE_H_
#define QXSOAP_PLATFORM_REGISTRY_TREE_H_

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qxcom/types.h"

namespace qxcom {

// The form under which names are compared: upper case, as Windows compares
// key and value names.
std::u16string FoldName(std::u16string_view name);

struct RegistryValue {
  std::u16string name;  // empty for the default value
  DWORD type;
  std::vector<BYTE> data;
};

class RegistryKey {
 public:
  explicit RegistryKey(std::u16string name) : name_(std::move(name)) {}

  const std::u16string& name() const { return name_; }

  // Subkeys in case-insensitive name order, keyed by FoldName.
  const std::map<std::u16string, std::unique_ptr<RegistryKey>>& subkeys() const {
    return subkeys_;
  }
  RegistryKey* FindSubkey(std::u16string_view name) const;
  // Returns the subkey `name`, adding it first when missing; *added tells
  // which happened.
  RegistryKey& AddSubkey(std::u16string_view name, bool* added = nullptr);
  bool RemoveSubkey(std::u16string_view name);

  // Values in the order they were first set.
  const std::vector<RegistryValue>& values() const { return values_; }
  const RegistryValue* FindValue(std::u16string_view name) const;
  // Replaces the data of the value `name` (keeping its place and spelling)
  // or adds it last.
  void SetValue(std::u16string_view name, DWORD type, std::vector<BYTE> data);
  bool RemoveValue(std::u16string_view name);

  // Removes every subkey and value.
  void Clear();

 private:
  std::u16string name_;
  std::vector<RegistryValue> values_;
  // The position in values_ of each value, by FoldName: a key may hold many
  // values, and a store is read value by value.
  std::map<std::u16string, size_t> valueIndex_;
  std::map<std::u16string, std::unique_ptr<RegistryKey>> subkeys_;
};

enum RegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine, kRootCount };

// The names of the roots as the store file writes them.
extern const std::array<std::u16string_view, kRootCount> kRootNames;

// The three root trees.
class RegistryTree {
 public:
  RegistryTree();
  RegistryKey& Root(RegistryRoot root) { return *roots_[root]; }
  const RegistryKey& Root(RegistryRoot root) const { return *roots_[root]; }

  // The key at `path` below `root`, or null when a part of it is missing.
  const RegistryKey* Find(RegistryRoot root, const std::vector<std::u16string>& path) const;
  RegistryKey* Find(RegistryRoot root, const std::vector<std::u16string>& path) {
    return const_cast<RegistryKey*>(std::as_const(*this).Find(root, path));
  }

 private:
  std::array<std::unique_ptr<RegistryKey>, kRootCount> roots_;
};

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_REGISTRY_TREE_H_
