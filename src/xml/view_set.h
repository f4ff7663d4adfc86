// A set of text views kept once each: the first view of a text that is
// inserted is the one handed back for every equal text after it. Open
// addressing over a table of views, so an insert allocates nothing but
// the table's growth; the texts themselves are not copied and must
// outlive the set's use.
#ifndef QXSOAP_XML_VIEW_SET_H_
#define QXSOAP_XML_VIEW_SET_H_

#include <cstdint>
#include <string_view>
#include <vector>

namespace qxsoap {

// A hash of 16-bit text, eight bytes a step; `seed` mixes in a key of
// another kind (a pointer) beside the text.
uint64_t HashUnits(std::u16string_view text, uint64_t seed = 0);

class ViewSet {
 public:
  // The view kept for `text`: an earlier equal one, or `text` itself, kept.
  std::u16string_view Intern(std::u16string_view text);
  // The view kept for `text`, or an empty view with a null data pointer.
  std::u16string_view Find(std::u16string_view text) const;
  bool Empty() const { return count_ == 0; }

 private:
  size_t SlotOf(std::u16string_view text) const;
  void Grow();

  // Power-of-two size, at most half full; a null data pointer marks a free
  // slot, so the empty text is kept with a non-null pointer.
  std::vector<std::u16string_view> slots_ = std::vector<std::u16string_view>(16);
  size_t count_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_VIEW_SET_H_
