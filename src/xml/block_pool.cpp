// Spare lists of mapped pieces, one per power-of-two size, under one lock.
#include "xml/block_pool.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
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

int SizeClass(size_t pooledBytes) {
  return std::countr_zero(pooledBytes / kSmallestPooledBytes);
}

#ifdef QXSOAP_ADDRESS_SANITIZER
constexpr size_t kSpareLimit = 0;

void* Map(size_t bytes) {
  void* piece = ::operator new(bytes);
  ASAN_POISON_MEMORY_REGION(piece, bytes);
  return piece;
}

void Unmap(void* piece, size_t) { ::operator delete(piece); }
#else
constexpr size_t kSpareLimit = kMaxSpareBytes;

void* Map(size_t bytes) {
  void* piece = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (piece == MAP_FAILED) throw std::bad_alloc();
  // Only advice: without huge pages the block works as well, page by page.
  if (bytes == kLargestPooledBytes) madvise(piece, bytes, MADV_HUGEPAGE);
  return piece;
}

void Unmap(void* piece, size_t bytes) { munmap(piece, bytes); }
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
        kept_ -= pooledBytes;
        return piece;
      }
    }
    return Map(pooledBytes);
  }

  void Give(void* piece, size_t pooledBytes) {
    try {
      const std::lock_guard lock(mutex_);
      if (kept_ + pooledBytes <= kSpareLimit) {
        spares_[SizeClass(pooledBytes)].push_back(piece);
        kept_ += pooledBytes;
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
  size_t kept_ = 0;
};

// Never destroyed, so a tree held by a static object can still give its
// pieces back while the program exits.
SparePieces& Spares() {
  static SparePieces* spares = new SparePieces;
  return *spares;
}

}  // namespace

size_t PooledSize(size_t bytes) {
  return IsPooled(bytes) ? std::max(std::bit_ceil(bytes), kSmallestPooledBytes) : bytes;
}

void* TakePiece(size_t bytes) {
  const size_t size = PooledSize(bytes);
  if (IsPooled(size)) return Spares().Take(size);
  void* piece = std::malloc(size);
  if (!piece) throw std::bad_alloc();
  return piece;
}

void GivePiece(void* piece, size_t bytes) {
  const size_t size = PooledSize(bytes);
  if (IsPooled(size)) {
    Spares().Give(piece, size);
  } else {
    std::free(piece);
  }
}

}  // namespace qxsoap
