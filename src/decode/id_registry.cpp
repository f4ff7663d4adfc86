#include "decode/id_registry.h"

#include <sanitizer/asan_interface.h>

#include <cstring>
#include <span>

#include "xml/block_pool.h"
#include "xml/same_text.h"
#include "xml/view_set.h"

namespace qxsoap {
namespace {

constexpr size_t kFirstSize = 16;

// `size` free slots. Throws std::bad_alloc.
template <typename Slot>
Slot* TakeSlots(size_t size) {
  const size_t bytes = size * sizeof(Slot);
  void* memory = TakeBlock(bytes);
  ASAN_UNPOISON_MEMORY_REGION(memory, bytes);
  // A block comes back as its last user left it.
  std::memset(memory, 0, bytes);
  return static_cast<Slot*>(memory);
}

// Ids as toolkits number them: shorter first, then in text order.
bool ComesAfter(std::u16string_view id, std::u16string_view before) {
  if (id.size() != before.size()) return id.size() > before.size();
  return std::memcmp(id.data(), before.data(), id.size() * sizeof(char16_t)) > 0;
}

}  // namespace

IdRegistry::Slot& IdRegistry::SlotOf(std::u16string_view id, uint32_t hash) const {
  const size_t mask = size_ - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (!slot.entry) return slot;
    if (slot.hash != hash) continue;
    const Entry& entry = entries_[slot.entry - 1];
    if (SameText({entry.id, entry.length}, id)) return slot;
  }
}

bool IdRegistry::Insert(std::u16string_view id, AccessorHandler& record) {
  if (!slots_) {
    // Every id so far came after the one before it: one that comes after
    // the last repeats none of them.
    if (entries_.empty() || ComesAfter(id, {entries_.back().id, entries_.back().length})) {
      entries_.push_back({id.data(), uint32_t(id.size()), &record});
      return true;
    }
    Index((entries_.size() + 1) * 2);
  }
  const uint32_t hash = uint32_t(HashUnits(id));
  Slot& slot = SlotOf(id, hash);
  if (slot.entry) return false;
  entries_.push_back({id.data(), uint32_t(id.size()), &record});
  slot = {hash, uint32_t(entries_.size())};
  if (entries_.size() * 2 > size_) Grow();
  return true;
}

AccessorHandler* IdRegistry::Find(std::u16string_view id) const {
  if (nextGuess_ < entries_.size()) {
    const Entry& guess = entries_[nextGuess_];
    if (SameText({guess.id, guess.length}, id)) {
      ++nextGuess_;
      return guess.record;
    }
  }
  if (entries_.empty()) return nullptr;
  if (!slots_) Index(entries_.size() * 2);
  const Slot& slot = SlotOf(id, uint32_t(HashUnits(id)));
  if (!slot.entry) return nullptr;
  nextGuess_ = slot.entry;  // the index after the entry's own
  return entries_[slot.entry - 1].record;
}

void IdRegistry::Clear() {
  Release();
  entries_.clear();
  nextGuess_ = 0;
}

void IdRegistry::Place(Slot slot) const {
  const size_t mask = size_ - 1;
  size_t at = slot.hash & mask;
  while (slots_[at].entry) at = (at + 1) & mask;
  slots_[at] = slot;
}

void IdRegistry::Index(size_t size) const {
  size_t tableSize = kFirstSize;
  while (tableSize < size) tableSize *= 2;
  slots_ = TakeSlots<Slot>(tableSize);
  size_ = tableSize;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    Place({uint32_t(HashUnits({entry.id, entry.length})), uint32_t(i + 1)});
  }
}

void IdRegistry::Grow() {
  Slot* const old = slots_;
  const size_t oldSize = size_;
  slots_ = TakeSlots<Slot>(oldSize * 2);
  size_ = oldSize * 2;
  for (const Slot& slot : std::span(old, oldSize)) {
    if (slot.entry) Place(slot);
  }
  GiveBlock(old, oldSize * sizeof(Slot));
}

void IdRegistry::Release() {
  if (slots_) GiveBlock(slots_, size_ * sizeof(Slot));
  slots_ = nullptr;
  size_ = 0;
}

}  // namespace qxsoap
