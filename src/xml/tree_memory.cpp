// Tree memory: blocks that grow to 2 MB, huge-page blocks from a locked
// list of spare blocks, and the bump allocation inside the current block.
#include "xml/tree_memory.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>

#include "xml/xml_element.h"

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
constexpr size_t kSmallestBlock = 256;

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

TreeMemory::TreeMemory(size_t firstBlockBytes)
    : nextBlockBytes_(std::clamp(firstBlockBytes, kSmallestBlock, kTreeBlockBytes)) {}

TreeMemory::~TreeMemory() {
  // Adopted trees first: their elements may point into this arena's text.
  adopted_.clear();
  for (const Block& block : blocks_) {
    if (block.bytes == kTreeBlockBytes) {
      Spares().Give(block.memory);
    } else {
      std::free(block.memory);
    }
  }
  for (void* piece : large_) std::free(piece);
}

void* TreeMemory::Allocate(size_t bytes, size_t alignment) {
  if (bytes > kLargeAllocation) return AllocateLarge(bytes);
  auto space = size_t(end_ - next_);
  void* place = next_;
  if (!next_ || !std::align(alignment, bytes, place, space)) {
    StartBlock(bytes + alignment);
    place = next_;
  }
  next_ = static_cast<char*>(place) + bytes;
  ASAN_UNPOISON_MEMORY_REGION(place, bytes);
  return place;
}

std::u16string_view TreeMemory::Copy(std::u16string_view text) {
  if (text.empty()) return {};
  auto* copy = AllocateArray<char16_t>(text.size());
  std::copy(text.begin(), text.end(), copy);
  return {copy, text.size()};
}

void TreeMemory::AdoptText(char16_t* text, size_t units) {
  large_.reserve(large_.size() + 1);
  large_.push_back(text);
  reserved_ += units * sizeof(char16_t);
}

void TreeMemory::AdoptRoot(std::unique_ptr<XmlElement> root) {
  adopted_.push_back(std::move(root));
}

// malloc keeps the 16-byte alignment every caller needs.
void* TreeMemory::AllocateLarge(size_t bytes) {
  large_.reserve(large_.size() + 1);
  void* piece = std::malloc(bytes);
  if (!piece) throw std::bad_alloc();
  large_.push_back(piece);
  reserved_ += bytes;
  return piece;
}

void TreeMemory::StartBlock(size_t minimumBytes) {
  while (nextBlockBytes_ < minimumBytes) nextBlockBytes_ *= 2;
  const size_t bytes = std::min(nextBlockBytes_, kTreeBlockBytes);
  blocks_.reserve(blocks_.size() + 1);
  void* block = bytes == kTreeBlockBytes ? Spares().Take() : std::malloc(bytes);
  if (!block) throw std::bad_alloc();
  if (bytes != kTreeBlockBytes) ASAN_POISON_MEMORY_REGION(block, bytes);
  blocks_.push_back({block, bytes});
  reserved_ += bytes;
  next_ = static_cast<char*>(block);
  end_ = next_ + bytes;
  nextBlockBytes_ = std::min(bytes * 2, kTreeBlockBytes);
}

}  // namespace qxsoap
