#include "decode/id_registry.h"

#include <cstring>

#include "xml/view_set.h"

namespace qxsoap {
namespace {

// Where an empty id would be kept: any non-null address serves.
constexpr char16_t kEmpty[1] = {};

}  // namespace

bool IdRegistry::Slot::Holds(std::u16string_view text, uint32_t textHash) const {
  return hash == textHash && length == text.size() &&
         (text.empty() || std::memcmp(id, text.data(), text.size() * sizeof(char16_t)) == 0);
}

size_t IdRegistry::SlotOf(std::u16string_view id, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t slot = hash & mask;
  while (slots_[slot].id && !slots_[slot].Holds(id, hash)) slot = (slot + 1) & mask;
  return slot;
}

bool IdRegistry::Insert(std::u16string_view id, AccessorHandler& record) {
  if (slots_.empty()) slots_.resize(16);
  const uint32_t hash = uint32_t(HashUnits(id));
  Slot& slot = slots_[SlotOf(id, hash)];
  if (slot.id) return false;
  slot = {id.data() ? id.data() : kEmpty, uint32_t(id.size()), hash, &record};
  if (++count_ * 2 > slots_.size()) Grow();
  return true;
}

AccessorHandler* IdRegistry::Find(std::u16string_view id) const {
  return slots_.empty() ? nullptr : slots_[SlotOf(id, uint32_t(HashUnits(id)))].record;
}

void IdRegistry::Clear() {
  slots_.clear();
  count_ = 0;
}

void IdRegistry::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (!slot.id) continue;
    size_t at = slot.hash & mask;
    while (slots_[at].id) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace qxsoap
