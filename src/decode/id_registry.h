// The ids of one subtree of a message (the Header's or the Body's): id
// text to the accessor record that declares it. Open addressing over the
// id views, which live in the message's tree; records are not owned.
#ifndef QXSOAP_DECODE_ID_REGISTRY_H_
#define QXSOAP_DECODE_ID_REGISTRY_H_

#include <cstdint>
#include <string_view>
#include <vector>

namespace qxsoap {

class AccessorHandler;

class IdRegistry {
 public:
  // Files `record` under `id` unless the id is filed already; returns
  // whether it was filed (the first record of an id stays).
  bool Insert(std::u16string_view id, AccessorHandler& record);
  // The record filed under `id`, or null.
  AccessorHandler* Find(std::u16string_view id) const;
  void Clear();

 private:
  // The id's hash is kept beside it, so that a probe reads the id's text
  // (in the tree, far from the table) only when the hashes agree.
  struct Slot {
    const char16_t* id = nullptr;  // null marks a free slot
    uint32_t length = 0;
    uint32_t hash = 0;
    AccessorHandler* record = nullptr;
    bool Holds(std::u16string_view text, uint32_t textHash) const;
  };
  size_t SlotOf(std::u16string_view id, uint32_t hash) const;
  void Grow();

  std::vector<Slot> slots_;  // power-of-two size, at most half full
  size_t count_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_ID_REGISTRY_H_
