// The ids of one subtree of a message (the Header's or the Body's): id
// text to the accessor record that declares it. Records are not owned; the
// id views live in the message's tree.
//
// The ids are kept in filing order, and an open-addressing table of 8-byte
// slots (a hash and an index) finds them. A large message's table is
// probed at random, one cache miss a probe, so it is kept small: a third
// of what slots holding the ids themselves would take. A table of 64 KB
// and more is a piece of the tree pool (xml/block_pool.h), in huge pages
// and kept mapped for the next message. Before probing, a lookup tries the
// entry after the one found last: multi-reference values are usually
// written in the order they are referenced, and then the lookups walk the
// entries and their texts in order.
#ifndef QXSOAP_DECODE_ID_REGISTRY_H_
#define QXSOAP_DECODE_ID_REGISTRY_H_

#include <cstdint>
#include <string_view>
#include <vector>

namespace qxsoap {

class AccessorHandler;

class IdRegistry {
 public:
  IdRegistry() = default;
  IdRegistry(const IdRegistry&) = delete;
  IdRegistry& operator=(const IdRegistry&) = delete;
  ~IdRegistry() { Release(); }

  // Files `record` under `id` unless the id is filed already; returns
  // whether it was filed (the first record of an id stays). Throws
  // std::bad_alloc.
  bool Insert(std::u16string_view id, AccessorHandler& record);
  // The record filed under `id`, or null.
  AccessorHandler* Find(std::u16string_view id) const;
  void Clear();

 private:
  struct Entry {
    const char16_t* id;
    uint32_t length;
    AccessorHandler* record;
  };
  // The id's hash beside the index of its entry, so that a probe reads an
  // entry only when the hashes agree.
  struct Slot {
    uint32_t hash;
    uint32_t entry;  // index + 1; 0 marks a free slot
  };
  // The slot holding `id`, or the free slot where it would go.
  Slot& SlotOf(std::u16string_view id, uint32_t hash) const;
  void Grow();
  void Release();

  std::vector<Entry> entries_;
  mutable size_t nextGuess_ = 0;  // index of the entry after the one found last
  Slot* slots_ = nullptr;  // power-of-two size, at most half full
  size_t size_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_ID_REGISTRY_H_
