// Tree memory: huge-page blocks, a locked list of spare blocks, and the bump
// allocation inside the current block.
#include "xml/tree_memory.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <memory>
#include <mutex>
#include <new>

namespace qxsoap {

#if defined(__SANITIZE_ADDRESS__)
#define QXSOAP_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QXSOAP_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

// Allocations above this size do not come from the blocks.
constexpr size_t kLargeAllocation = kTreeBlockBytes / 16;

#ifdef QXSOAP_ADDRESS_SANITIZER
// Under AddressSanitizer blocks come from its heap and are never kept, and
// a block stays poisoned until allocations unpoison it piece by piece: the
// sanitizer's quarantine then reports a pointer kept into a released tree
// instead of letting it read the next tree.
constexpr size_t kSpareLimit = 0;

void* NewBlock() {
  void* block = ::operator new(kTreeBlockBytes);
  ASAN_POISON_MEMORY_REGION(block, kTreeBlockBytes);
  return block;
}

void FreeBlock(void* block) { ::operator delete(block); }
#else
constexpr size_t kSpareLimit = kMaxSpareBlocks;

void* NewBlock() {
  void* block =
      mmap(nullptr, kTreeBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
  // Only advice: without huge pages the block works as well, page by page.
  madvise(block, kTreeBlockBytes, MADV_HUGEPAGE);
  return block;
}

void FreeBlock(void* block) { munmap(block, kTreeBlockBytes); }
#endif

class SpareBlocks {
 public:
  // A spare block, or a new one when there is none.
  void* Take() {
    {
      const std::lock_guard lock(mutex_);
      if (count_ > 0) return blocks_[--count_];
    }
    return NewBlock();
  }

  void Give(void* block) {
    {
      const std::lock_guard lock(mutex_);
      if (count_ < kSpareLimit) {
        blocks_[count_++] = block;
        return;
      }
    }
    FreeBlock(block);
  }

 private:
  std::mutex mutex_;
  void* blocks_[kMaxSpareBlocks] = {};
  size_t count_ = 0;
};

// Never destroyed, so a tree held by a static object can still give its
// blocks back while the program exits.
SpareBlocks& Spares() {
  static SpareBlocks* spares = new SpareBlocks;
  return *spares;
}

}  // namespace

TreeMemory::~TreeMemory() {
  for (void* block : blocks_) Spares().Give(block);
}

void* TreeMemory::do_allocate(size_t bytes, size_t alignment) {
  if (bytes > kLargeAllocation) return ::operator new(bytes, std::align_val_t(alignment));
  auto space = size_t(end_ - next_);
  void* place = next_;
  if (!next_ || !std::align(alignment, bytes, place, space)) {
    blocks_.reserve(blocks_.size() + 1);
    void* block = Spares().Take();
    blocks_.push_back(block);
    place = block;
    end_ = static_cast<char*>(block) + kTreeBlockBytes;
  }
  next_ = static_cast<char*>(place) + bytes;
  ASAN_UNPOISON_MEMORY_REGION(place, bytes);
  return place;
}

void TreeMemory::do_deallocate(void* memory, size_t bytes, size_t alignment) {
  if (bytes > kLargeAllocation) ::operator delete(memory, std::align_val_t(alignment));
}

}  // namespace qxsoap
