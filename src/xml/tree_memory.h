// The arena an element tree lives in (see xml_element.h): a bump allocator
// over blocks that double in size from a first block sized to the tree
// expected, up to 2 MB, plus separately allocated large pieces (a long text,
// a long attribute array). Everything is released at once with the arena.
//
// Reading a tree writes every byte of the memory it takes, and memory fresh
// from the system costs a page fault per 4 KB page for that: for a large
// tree more than the reading itself, and a cost that makes time per byte
// grow with the document. So 2 MB blocks are mapped as transparent huge
// pages (one fault per block), and up to kMaxSpareBlocks of them from
// released trees are kept in a process-wide spare list, so that the next
// large tree takes memory that is already mapped.
//
// The arena also owns the roots of other trees appended into its tree
// (XmlElement::AppendChild) and the decoded text a parsed tree's strings
// point into, and releases them with itself.
//
// Threads: a TreeMemory is used by one thread at a time; the spare list is
// shared by all and locked.
#ifndef QXSOAP_XML_TREE_MEMORY_H_
#define QXSOAP_XML_TREE_MEMORY_H_

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace qxsoap {

class XmlElement;

inline constexpr size_t kTreeBlockBytes = size_t(2) << 20;
inline constexpr size_t kMaxSpareBlocks = 8;

class TreeMemory {
 public:
  // `firstBlockBytes` is the size of the first block (at least 256 bytes,
  // at most kTreeBlockBytes): about the memory the tree is expected to take.
  explicit TreeMemory(size_t firstBlockBytes);
  TreeMemory(const TreeMemory&) = delete;
  TreeMemory& operator=(const TreeMemory&) = delete;
  // Deletes the adopted roots, frees the large pieces and hands 2 MB blocks
  // to the spare list (or back to the system when it is full). Elements in
  // the blocks are not destroyed: they own nothing but arena memory.
  ~TreeMemory();

  // `bytes` of uninitialised memory aligned to `alignment` (a power of two
  // up to 16), valid until the arena goes. Throws std::bad_alloc.
  void* Allocate(size_t bytes, size_t alignment);

  template <typename T>
  T* AllocateArray(size_t count) {
    return static_cast<T*>(Allocate(count * sizeof(T), alignof(T)));
  }

  // A copy of `text` in the arena (a view of nothing for empty text).
  std::u16string_view Copy(std::u16string_view text);

  // Takes ownership of `text`, a buffer of `units` units from malloc, and
  // frees it with the arena.
  void AdoptText(char16_t* text, size_t units);

  // Takes ownership of the root of another tree; it is deleted with the
  // arena.
  void AdoptRoot(std::unique_ptr<XmlElement> root);

  // The root element this arena belongs to (set once by that root).
  XmlElement* Root() const { return root_; }
  void SetRoot(XmlElement* root) { root_ = root; }

  // Bytes taken from the system for this tree: blocks and large pieces,
  // whether used yet or not. Adopted roots count in their own arenas.
  size_t BytesReserved() const { return reserved_; }

 private:
  void* AllocateLarge(size_t bytes);
  void StartBlock(size_t minimumBytes);

  struct Block {
    void* memory;
    size_t bytes;
  };
  std::vector<Block> blocks_;
  std::vector<void*> large_;  // from malloc: large pieces and adopted texts
  std::vector<std::unique_ptr<XmlElement>> adopted_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  size_t nextBlockBytes_;
  size_t reserved_ = 0;
  XmlElement* root_ = nullptr;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_TREE_MEMORY_H_
