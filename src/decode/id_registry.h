// The ids of one subtree of a message (the Header's or the Body's): id
// text to the accessor record that declares it. Records are not owned; the
// id views live in the message's tree.
//
// The ids are kept in filing order. Toolkits number the ids they write
// ("id1", "id2", ... or "_1", "_2", ...), so each id usually comes after
// the one filed before it, shorter ids first and ids of one length in text
// order; such an id cannot repeat an earlier one, and is filed without
// looking. Lookups usually come in the same order, so a lookup first tries
// the entry after the one found last. Only when either guess fails is an
// index built: an open-addressing table of 8-byte slots (a hash and an
// index), kept up to date from then on. A large message's table is probed
// at random, one cache miss a probe, which the guesses spare a large
// message written in order. A table of 64 KB and more is a piece of the
// tree pool (xml/block_pool.h), in huge pages and kept mapped for the next
// message.
//
// Threads: one at a time, lookups included: a lookup moves the guess and
// may build the index.
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
  // The record filed under `id`, or null. Throws std::bad_alloc when it
  // has to build the index.
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
  // Puts `slot`, of an id not in the table, in the first free slot from
  // its hash on.
  void Place(Slot slot) const;
  // Files every entry in a new table (the index) of at least `size` slots.
  void Index(size_t size) const;
  void Grow();
  void Release();

  std::vector<Entry> entries_;
  mutable size_t nextGuess_ = 0;  // index of the entry after the one found last
  // The index: none while every id followed the one before it and every
  // lookup found its guess.
  mutable Slot* slots_ = nullptr;  // power-of-two size, at most half full
  mutable size_t size_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_ID_REGISTRY_H_
