// Keys, values and roots of the in-memory registry.
#include "platform/registry_tree.h"

#include <locale.h>
#include <wctype.h>

namespace qxcom {
namespace {

// Unicode case mapping needs a UTF-8 locale whatever the process locale
// is; without one, only ASCII letters fold.
locale_t CaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
  return locale;
}

char16_t FoldUnit(char16_t unit) {
  if (unit < 0x80) return unit >= u'a' && unit <= u'z' ? char16_t(unit - 0x20) : unit;
  if (unit >= 0xD800 && unit <= 0xDFFF) return unit;
  locale_t locale = CaseLocale();
  if (locale == locale_t(0)) return unit;
  wint_t upper = towupper_l(wint_t(unit), locale);
  return upper <= 0xFFFF ? char16_t(upper) : unit;
}

}  // namespace

std::u16string FoldName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& unit : folded) unit = FoldUnit(unit);
  return folded;
}

RegistryKey* RegistryKey::FindSubkey(std::u16string_view name) const {
  auto found = subkeys_.find(FoldName(name));
  return found == subkeys_.end() ? nullptr : found->second.get();
}

RegistryKey& RegistryKey::AddSubkey(std::u16string_view name, bool* added) {
  auto [slot, inserted] = subkeys_.try_emplace(FoldName(name));
  if (inserted) slot->second = std::make_unique<RegistryKey>(std::u16string(name));
  if (added) *added = inserted;
  return *slot->second;
}

bool RegistryKey::RemoveSubkey(std::u16string_view name) {
  return subkeys_.erase(FoldName(name)) != 0;
}

const RegistryValue* RegistryKey::FindValue(std::u16string_view name) const {
  auto found = valueIndex_.find(FoldName(name));
  return found == valueIndex_.end() ? nullptr : &values_[found->second];
}

void RegistryKey::SetValue(std::u16string_view name, DWORD type, std::vector<BYTE> data) {
  std::u16string folded = FoldName(name);
  if (auto found = valueIndex_.find(folded); found != valueIndex_.end()) {
    RegistryValue& value = values_[found->second];
    value.type = type;
    value.data = std::move(data);
    return;
  }
  values_.push_back({std::u16string(name), type, std::move(data)});
  try {
    valueIndex_.emplace(std::move(folded), values_.size() - 1);
  } catch (...) {
    values_.pop_back();  // a value not indexed would be found by no one
    throw;
  }
}

bool RegistryKey::RemoveValue(std::u16string_view name) {
  auto found = valueIndex_.find(FoldName(name));
  if (found == valueIndex_.end()) return false;
  size_t removed = found->second;
  valueIndex_.erase(found);
  values_.erase(values_.begin() + ptrdiff_t(removed));
  for (auto& [folded, position] : valueIndex_) {
    if (position > removed) --position;
  }
  return true;
}

void RegistryKey::Clear() {
  values_.clear();
  valueIndex_.clear();
  subkeys_.clear();
}

const std::array<std::u16string_view, kRootCount> kRootNames = {
    u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER", u"HKEY_LOCAL_MACHINE"};

RegistryTree::RegistryTree() {
  for (int root = 0; root < kRootCount; ++root) {
    roots_[root] = std::make_unique<RegistryKey>(std::u16string(kRootNames[root]));
  }
}

const RegistryKey* RegistryTree::Find(RegistryRoot root,
                                      const std::vector<std::u16string>& path) const {
  const RegistryKey* key = roots_[root].get();
  for (const std::u16string& name : path) {
    key = key->FindSubkey(name);
    if (!key) return nullptr;
  }
  return key;
}

}  // namespace qxcom
