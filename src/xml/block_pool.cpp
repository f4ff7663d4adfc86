// Spare lists of mapped pieces, one per power-of-two size, under one lock.
#include "xml/block_pool.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace qxsoap {

#if defined(__SANITIZE_ADDRESS__)
#define QXSOAP_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QXSOAP_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

constexpr int kSizeClasses = std::countr_zero(kLargestPooledBytes / kSmallestPooledBytes) + 1;

bool IsPooled(size_t bytes) { return bytes <= kLargestPooledBytes; }

size_t RoundUp(size_t bytes, size_t unit) { return (bytes + unit - 1) / unit * unit; }

constexpr size_t kPageBytes = 4096;
constexpr size_t kHugePageBytes = size_t(2) << 20;

// What a piece of `bytes` keeps when only its first `kept` are needed:
// whole pages.
size_t TrimmedSize(size_t bytes, size_t kept) {
  return std::min(bytes, RoundUp(std::max<size_t>(kept, 1), kPageBytes));
}

int SizeClass(size_t pooledBytes) { return std::countr_zero(pooledBytes / kSmallestPooledBytes); }

#ifdef QXSOAP_ADDRESS_SANITIZER
// How many released pieces of `pooledBytes` are kept.
constexpr size_t SpareLimit(size_t) { return 0; }

void* Map(size_t bytes) {
  void* piece = ::operator new(bytes);
  ASAN_POISON_MEMORY_REGION(piece, bytes);
  return piece;
}

void Unmap(void* piece, size_t) { ::operator delete(piece); }

// The end is poisoned, not freed: a pointer kept into it is reported.
size_t Trim(void* piece, size_t bytes, size_t kept) {
  const size_t keep = TrimmedSize(bytes, kept);
  ASAN_POISON_MEMORY_REGION(static_cast<char*>(piece) + keep, bytes - keep);
  return keep;
}

void* Remap(void*, size_t, size_t) { return nullptr; }
#else
// How many released pieces of `pooledBytes` are kept: at least two of the
// largest size.
constexpr size_t SpareLimit(size_t pooledBytes) {
  return std::clamp(kSpareBytesPerSize / pooledBytes, size_t(2), kSparesPerSize);
}

// Maps `bytes`; from 2 MB up on a 2 MB boundary (a huge page can only back
// an aligned range), by mapping 2 MB more and unmapping what is around.
void* Map(size_t bytes) {
  const size_t slack = bytes >= kHugePageBytes ? kHugePageBytes : 0;
  void* mapped =
      mmap(nullptr, bytes + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  if (!slack) return mapped;
  auto* start = static_cast<char*>(mapped);
  auto* aligned = reinterpret_cast<char*>(RoundUp(reinterpret_cast<uintptr_t>(start), slack));
  if (aligned != start) munmap(start, size_t(aligned - start));
  if (const size_t after = slack - size_t(aligned - start)) munmap(aligned + bytes, after);
  // Only advice: without huge pages the piece works as well, page by page.
  madvise(aligned, bytes, MADV_HUGEPAGE);
  return aligned;
}

void Unmap(void* piece, size_t bytes) { munmap(piece, bytes); }

// Moves a mapped piece of `bytes` to one of `newBytes` (both whole pages)
// by its page tables; null when the system refuses.
void* Remap(void* piece, size_t bytes, size_t newBytes) {
  void* moved = mremap(piece, bytes, newBytes, MREMAP_MAYMOVE);
  if (moved == MAP_FAILED) return nullptr;
  madvise(moved, newBytes, MADV_HUGEPAGE);
  return moved;
}

// Unmaps the pages of a mapped piece of `bytes` past its first `kept`
// bytes; returns the size it keeps.
size_t Trim(void* piece, size_t bytes, size_t kept) {
  const size_t keep = TrimmedSize(bytes, kept);
  if (keep < bytes) munmap(static_cast<char*>(piece) + keep, bytes - keep);
  return keep;
}
#endif

class SparePieces {
 public:
  void* Take(size_t pooledBytes) {
    {
      const std::lock_guard lock(mutex_);
      std::vector<void*>& spares = spares_[SizeClass(pooledBytes)];
      if (!spares.empty()) {
        void* piece = spares.back();
        spares.pop_back();
        return piece;
      }
    }
    return Map(pooledBytes);
  }

  void Give(void* piece, size_t pooledBytes) {
    try {
      const std::lock_guard lock(mutex_);
      std::vector<void*>& spares = spares_[SizeClass(pooledBytes)];
      if (spares.size() < SpareLimit(pooledBytes)) {
        spares.push_back(piece);
        return;
      }
    } catch (const std::bad_alloc&) {
      // No room to list it: it goes back to the system below.
    }
    Unmap(piece, pooledBytes);
  }

 private:
  std::mutex mutex_;
  std::vector<void*> spares_[kSizeClasses];
};

// Never destroyed, so a tree held by a static object can still give its
// pieces back while the program exits.
SparePieces& Spares() {
  static SparePieces* spares = new SparePieces;
  return *spares;
}

}  // namespace

size_t PooledSize(size_t bytes) {
  return IsPooled(bytes) ? std::max(std::bit_ceil(bytes), kSmallestPooledBytes)
                         : RoundUp(bytes, kPageBytes);
}

void* TakePiece(size_t bytes) {
  const size_t size = PooledSize(bytes);
  return IsPooled(size) ? Spares().Take(size) : Map(size);
}

void GivePiece(void* piece, size_t bytes) {
  const size_t size = PooledSize(bytes);
  if (IsPooled(size)) {
    Spares().Give(piece, size);
  } else {
    Unmap(piece, size);
  }
}

void* TakeBlock(size_t bytes) {
  if (bytes >= kSmallestPooledBytes) return TakePiece(bytes);
  void* block = std::malloc(bytes);
  if (!block) throw std::bad_alloc();
  ASAN_POISON_MEMORY_REGION(block, bytes);
  return block;
}

void GiveBlock(void* block, size_t bytes) {
  if (bytes >= kSmallestPooledBytes) {
    GivePiece(block, bytes);
  } else {
    std::free(block);
  }
}

void* RegrowPiece(void* piece, size_t bytes, size_t newBytes) {
  const size_t size = PooledSize(bytes), newSize = PooledSize(newBytes);
  if (size == newSize) return piece;
  if (!IsPooled(size) && !IsPooled(newSize)) {
    if (void* moved = Remap(piece, size, newSize)) return moved;
  }
  void* grown = TakePiece(newBytes);
  ASAN_UNPOISON_MEMORY_REGION(grown, newBytes);
  std::memcpy(grown, piece, std::min(bytes, newBytes));
  GivePiece(piece, bytes);
  return grown;
}

size_t ShrinkPiece(void* piece, size_t bytes, size_t kept) {
  const size_t size = PooledSize(bytes);
  // Pooled pieces keep their size class; only whole pages go.
  if (IsPooled(size) || kept <= kLargestPooledBytes) return bytes;
  return std::min(bytes, Trim(piece, size, kept));
}

}  // namespace qxsoap
