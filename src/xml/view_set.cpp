// Open addressing with linear probing over a multiplicative hash.
#include "xml/view_set.h"

#include <cstring>

#include "xml/same_text.h"

namespace qxsoap {

namespace {

uint64_t Mix(uint64_t hash, uint64_t value) { return (hash ^ value) * 0x9E3779B97F4A7C15u; }

// Where the empty text is kept: any non-null address serves.
constexpr char16_t kEmpty[1] = {};

}  // namespace

uint64_t HashUnits(std::u16string_view text, uint64_t seed) {
  uint64_t hash = Mix(seed, text.size());
  const char16_t* units = text.data();
  size_t left = text.size();
  for (; left >= 4; left -= 4, units += 4) {
    uint64_t chunk;
    std::memcpy(&chunk, units, 8);
    hash = Mix(hash, chunk);
  }
  for (; left > 0; --left) hash = Mix(hash, *units++);
  // A product's low bits see only its factors' low bits, and tables take
  // the low bits: fold the high ones down (the finaliser of MurmurHash3).
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDu;
  hash ^= hash >> 33;
  return hash;
}

size_t ViewSet::SlotOf(std::u16string_view text) const {
  const size_t mask = slots_.size() - 1;
  size_t slot = HashUnits(text) & mask;
  while (slots_[slot].data() && !SameText(slots_[slot], text)) slot = (slot + 1) & mask;
  return slot;
}

std::u16string_view ViewSet::Find(std::u16string_view text) const { return slots_[SlotOf(text)]; }

std::u16string_view ViewSet::Intern(std::u16string_view text) {
  const size_t slot = SlotOf(text);
  if (slots_[slot].data()) return slots_[slot];
  slots_[slot] = text.data() ? text : std::u16string_view(kEmpty, 0);
  const std::u16string_view kept = slots_[slot];
  if (++count_ * 2 > slots_.size()) Grow();
  return kept;
}

void ViewSet::Grow() {
  std::vector<std::u16string_view> old(slots_.size() * 2);
  old.swap(slots_);
  for (const std::u16string_view& text : old) {
    if (text.data()) slots_[SlotOf(text)] = text;
  }
}

}  // namespace qxsoap
