// Memory for trees, from the system and back, with the blocks of released
// trees kept for the next ones.
//
// Reading a tree writes every byte of the memory it takes, and memory fresh
// from the system costs a page fault per 4 KB page for that: more than the
// reading itself, for a message of any size, since the heap hands large
// pieces back to the system when they are freed. So pieces from 64 KB to
// 8 MB (a megabyte of base64 decodes into a few MB of text) are mapped in
// power-of-two sizes and released ones are kept process-wide, each size up
// to kSparesPerSize pieces or kSpareBytesPerSize bytes but at least two (at
// most about 40 MB in all), so that the next tree takes memory already
// mapped: each size has its own room, since a large message must not crowd
// out the pieces small ones keep reusing. Pieces of 2 MB and more start on a
// 2 MB boundary and are advised as transparent huge pages, one fault per
// 2 MB instead of 512.
//
// Under AddressSanitizer nothing is kept and every piece comes from the
// sanitizer's heap, poisoned until it is handed out piece by piece: a
// pointer kept into a released tree is then reported instead of reading
// the next tree.
//
// Threads: any thread may call these; the spare lists are locked.
#ifndef QXSOAP_XML_BLOCK_POOL_H_
#define QXSOAP_XML_BLOCK_POOL_H_

#include <cstddef>

namespace qxsoap {

inline constexpr size_t kSmallestPooledBytes = size_t(64) << 10;
inline constexpr size_t kLargestPooledBytes = size_t(8) << 20;
inline constexpr size_t kSparesPerSize = 8;
inline constexpr size_t kSpareBytesPerSize = size_t(4) << 20;

// The size a request of `bytes` takes: a power of two from
// kSmallestPooledBytes to kLargestPooledBytes, whole 4 KB pages above.
size_t PooledSize(size_t bytes);

// A piece of PooledSize(bytes) bytes, 16-byte aligned. Throws
// std::bad_alloc.
void* TakePiece(size_t bytes);

// Gives back a piece from TakePiece(bytes).
void GivePiece(void* piece, size_t bytes);

// A block of `bytes`, 16-byte aligned, poisoned under AddressSanitizer
// until its user unpoisons what it hands out: below kSmallestPooledBytes
// from the heap, which keeps and reuses small blocks, from there up a
// piece of the pool. Throws std::bad_alloc.
void* TakeBlock(size_t bytes);

// Gives back a block from TakeBlock(bytes).
void GiveBlock(void* block, size_t bytes);

// A piece for `newBytes` holding the first min(bytes, newBytes) bytes of
// `piece`, from TakePiece(bytes), which is given back. Pieces above 8 MB
// are moved by remapping their pages, without a copy. Throws
// std::bad_alloc, leaving `piece` as it was.
void* RegrowPiece(void* piece, size_t bytes, size_t newBytes);

// Gives back the end of a piece from TakePiece(bytes), keeping its first
// `kept` bytes where they are, when whole pages can go; returns the
// request size the piece now answers to (`bytes` when nothing went).
size_t ShrinkPiece(void* piece, size_t bytes, size_t kept);

}  // namespace qxsoap

#endif  // QXSOAP_XML_BLOCK_POOL_H_
