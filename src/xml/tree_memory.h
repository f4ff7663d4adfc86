// The memory an element tree lives in (see xml_element.h): a bump allocator
// over blocks that double in size from a first block sized to the tree
// expected, up to 2 MB, plus pieces of their own for large allocations (a
// long text, a long attribute array) and heap blocks for long texts made in
// place (AllocateText). Everything is released at once with the arena.
// Blocks and pieces from 64 KB up are recycled between trees
// (block_pool.h).
//
// The arena also owns the roots of other trees appended into its tree
// (XmlElement::AppendChild), and releases them with itself.
//
// Threads: a TreeMemory is used by one thread at a time.
#ifndef QXSOAP_XML_TREE_MEMORY_H_
#define QXSOAP_XML_TREE_MEMORY_H_

#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qxsoap {

class XmlElement;

inline constexpr size_t kTreeBlockBytes = size_t(2) << 20;
// Allocations above this size get pieces of their own.
inline constexpr size_t kLargeAllocation = kTreeBlockBytes / 16;

class TreeMemory {
 public:
  // `firstBlockBytes` is the size of the first block (at least 256 bytes,
  // at most kTreeBlockBytes): about the memory the tree is expected to take.
  explicit TreeMemory(size_t firstBlockBytes);
  TreeMemory(const TreeMemory&) = delete;
  TreeMemory& operator=(const TreeMemory&) = delete;
  // Deletes the adopted roots and gives back blocks and pieces. Elements in
  // the blocks are not destroyed: they own nothing but arena memory.
  ~TreeMemory();

  // `bytes` of uninitialised memory aligned to `alignment` (a power of two
  // up to 16), valid until the arena goes. Throws std::bad_alloc. Inline:
  // a tree makes several small allocations per element.
  void* Allocate(size_t bytes, size_t alignment) {
    const uintptr_t place = (uintptr_t(next_) + alignment - 1) & ~uintptr_t(alignment - 1);
    if (bytes > kLargeAllocation || !next_ || place + bytes > uintptr_t(end_)) {
      return AllocateElsewhere(bytes, alignment);
    }
    next_ = reinterpret_cast<char*>(place + bytes);
    ASAN_UNPOISON_MEMORY_REGION(reinterpret_cast<void*>(place), bytes);
    return reinterpret_cast<void*>(place);
  }

  template <typename T>
  T* AllocateArray(size_t count) {
    return static_cast<T*>(Allocate(count * sizeof(T), alignof(T)));
  }

  // A copy of `text` in the arena (a view of nothing for empty text).
  std::u16string_view Copy(std::u16string_view text);

  // A piece of at least `bytes` of its own, whatever its size, which
  // GrowPiece and ShrinkPiece can resize. Throws std::bad_alloc.
  void* AllocatePiece(size_t bytes);

  // Where the piece `piece` (which must come from AllocatePiece) is after
  // growing to `bytes`, its content kept; it may move. Throws
  // std::bad_alloc, leaving the piece as it was.
  void* GrowPiece(void* piece, size_t bytes);

  // Gives back the end of the piece `piece` past its first `bytes`, in
  // place, where that frees whole pages. Memory that is no piece of
  // its own (a smaller Allocate) stays as it is.
  void ShrinkPiece(const void* piece, size_t bytes);

  // Takes ownership of the root of another tree; it is deleted with the
  // arena.
  void AdoptRoot(std::unique_ptr<XmlElement> root);

  // Room for `units` units of text, uninitialised, valid until the arena
  // goes. A long text (a document's base64, say) comes from the heap, not
  // from a piece of its own: pieces over the pool's largest are mapped and
  // faulted in afresh for each tree, where the heap can hand the freed
  // block to the next message's text. Throws std::bad_alloc.
  char16_t* AllocateText(size_t units);

  // Bytes taken for this tree: blocks and pieces, whether used yet or not.
  // Adopted roots count in their own arenas.
  size_t BytesReserved() const { return reserved_; }

 private:
  struct Piece {
    void* memory;
    size_t bytes;
  };

  // Allocate's way when the current block cannot take `bytes`: a piece of
  // its own for a large allocation, otherwise a new block.
  void* AllocateElsewhere(size_t bytes, size_t alignment);
  // The piece at `memory`, or null for memory of a block.
  Piece* PieceAt(const void* memory);
  void StartBlock(size_t minimumBytes);

  std::vector<Piece> blocks_;
  std::vector<Piece> large_;
  std::vector<std::unique_ptr<XmlElement>> adopted_;
  std::vector<std::unique_ptr<char16_t[]>> heapTexts_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  size_t nextBlockBytes_;
  size_t reserved_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_TREE_MEMORY_H_
