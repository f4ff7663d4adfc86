#include "decode/id_registry.h"

#include "xml/view_set.h"

namespace qxsoap {
namespace {

// Where an empty id would be kept: any non-null address serves.
constexpr char16_t kEmpty[1] = {};

}  // namespace

size_t IdRegistry::SlotOf(std::u16string_view id) const {
  const size_t mask = slots_.size() - 1;
  size_t slot = HashUnits(id) & mask;
  while (slots_[slot].id.data() && slots_[slot].id != id) slot = (slot + 1) & mask;
  return slot;
}

bool IdRegistry::Insert(std::u16string_view id, AccessorHandler& record) {
  if (slots_.empty()) slots_.resize(16);
  Slot& slot = slots_[SlotOf(id)];
  if (slot.id.data()) return false;
  slot = {id.data() ? id : std::u16string_view(kEmpty, 0), &record};
  if (++count_ * 2 > slots_.size()) Grow();
  return true;
}

AccessorHandler* IdRegistry::Find(std::u16string_view id) const {
  return slots_.empty() ? nullptr : slots_[SlotOf(id)].record;
}

void IdRegistry::Clear() {
  slots_.clear();
  count_ = 0;
}

void IdRegistry::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.id.data()) slots_[SlotOf(slot.id)] = slot;
  }
}

}  // namespace qxsoap
