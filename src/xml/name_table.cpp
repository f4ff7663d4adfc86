// Interning by open addressing over a multiplicative hash of the name's
// units and the URI's address.
#include "xml/name_table.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace qxsoap {

namespace {

uint64_t Mix(uint64_t hash, uint64_t value) {
  return (hash ^ value) * 0x9E3779B97F4A7C15u;
}

uint64_t HashName(std::u16string_view qualified, std::u16string_view uri) {
  uint64_t hash = Mix(qualified.size(), reinterpret_cast<uintptr_t>(uri.data()));
  const char16_t* units = qualified.data();
  size_t left = qualified.size();
  for (; left >= 4; left -= 4, units += 4) {
    uint64_t chunk;
    std::memcpy(&chunk, units, 8);
    hash = Mix(hash, chunk);
  }
  for (; left > 0; --left) hash = Mix(hash, *units++);
  return hash ^ (hash >> 29);
}

bool SameName(const XmlName& name, std::u16string_view qualified, std::u16string_view uri) {
  return name.NamespaceUri().data() == uri.data() && name.NamespaceUri().size() == uri.size() &&
         name.QualifiedName() == qualified;
}

}  // namespace

std::u16string_view NameTable::InternUri(std::u16string_view uri) {
  return *uris_.insert(uri).first;
}

const XmlName& NameTable::Intern(std::u16string_view qualified, std::u16string_view uri,
                                 size_t localStart) {
  const size_t mask = slots_.size() - 1;
  size_t slot = HashName(qualified, uri) & mask;
  for (; slots_[slot]; slot = (slot + 1) & mask) {
    if (SameName(*slots_[slot], qualified, uri)) return *slots_[slot];
  }
  auto* record = memory_.AllocateArray<XmlName>(1);
  const XmlName& name =
      *new (record) XmlName(qualified, uri, qualified.substr(localStart), memory_);
  slots_[slot] = &name;
  if (++count_ * 2 > slots_.size()) Grow();
  return name;
}

void NameTable::Grow() {
  std::vector<const XmlName*> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const XmlName* name : old) {
    if (!name) continue;
    size_t slot = HashName(name->QualifiedName(), name->NamespaceUri()) & mask;
    while (slots_[slot]) slot = (slot + 1) & mask;
    slots_[slot] = name;
  }
}

}  // namespace qxsoap
