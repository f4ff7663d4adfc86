// Interning by open addressing over a hash of the name's units and the
// scope's identity.
#include "xml/name_table.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "xml/same_text.h"

namespace qxsoap {

namespace {

uint64_t HashShape(std::u16string_view qualified, const NamespaceScope& scope) {
  return HashUnits(qualified, reinterpret_cast<uintptr_t>(scope.MapIdentity()));
}

bool SameShape(const XmlElementShape& shape, std::u16string_view qualified,
               const NamespaceScope& scope) {
  return shape.scope.SharesMapWith(scope) && SameText(shape.name.QualifiedName(), qualified);
}

}  // namespace

std::u16string_view NameTable::InternUri(std::u16string_view uri) { return uris_.Intern(uri); }

const XmlElementShape& NameTable::Intern(std::u16string_view qualified, std::u16string_view uri,
                                         size_t localStart, const NamespaceScope& scope) {
  const size_t mask = slots_.size() - 1;
  size_t slot = HashShape(qualified, scope) & mask;
  for (; slots_[slot]; slot = (slot + 1) & mask) {
    if (SameShape(*slots_[slot], qualified, scope)) return *slots_[slot];
  }
  auto* record = memory_.AllocateArray<XmlElementShape>(1);
  const XmlElementShape& shape = *new (record) XmlElementShape{
      XmlName(qualified, uri, qualified.substr(localStart), memory_), scope};
  slots_[slot] = &shape;
  if (++count_ * 2 > slots_.size()) Grow();
  return shape;
}

void NameTable::Grow() {
  std::vector<const XmlElementShape*> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const XmlElementShape* shape : old) {
    if (!shape) continue;
    size_t slot = HashShape(shape->name.QualifiedName(), shape->scope) & mask;
    while (slots_[slot]) slot = (slot + 1) & mask;
    slots_[slot] = shape;
  }
}

}  // namespace qxsoap
