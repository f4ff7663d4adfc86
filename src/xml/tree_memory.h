// The arena a parsed tree lives in (see xml_element.h): a bump allocator
// over blocks of 2 MB.
//
// Reading a tree writes every byte of the memory it takes, and memory fresh
// from the system costs a page fault per 4 KB page for that: for a large
// tree more than the reading itself, and a cost that makes time per byte
// grow with the document. So blocks are mapped as transparent huge pages
// (one fault per block), and up to kMaxSpareBlocks blocks of released trees
// (16 MB, the tree of a message of about 1.5 MB) are kept in a process-wide
// spare list, so that the next tree takes memory that is already mapped.
//
// Threads: a TreeMemory is used by one thread at a time; the spare list is
// shared by all and locked.
#ifndef QXSOAP_XML_TREE_MEMORY_H_
#define QXSOAP_XML_TREE_MEMORY_H_

#include <cstddef>
#include <memory_resource>
#include <vector>

namespace qxsoap {

inline constexpr size_t kTreeBlockBytes = size_t(2) << 20;
inline constexpr size_t kMaxSpareBlocks = 8;

class TreeMemory final : public std::pmr::memory_resource {
 public:
  TreeMemory() = default;
  TreeMemory(const TreeMemory&) = delete;
  TreeMemory& operator=(const TreeMemory&) = delete;
  // Hands the blocks to the spare list, or back to the system when it is
  // full. Whatever lives in them must be destroyed already.
  ~TreeMemory() override;

 private:
  // Throws std::bad_alloc when the system refuses memory.
  void* do_allocate(size_t bytes, size_t alignment) override;
  // Large allocations (a long text, a long child list) go straight to the
  // heap and back, since they are reallocated as they grow; everything
  // else comes back with the whole arena.
  void do_deallocate(void* memory, size_t bytes, size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }

  std::vector<void*> blocks_;
  char* next_ = nullptr;
  char* end_ = nullptr;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_TREE_MEMORY_H_
