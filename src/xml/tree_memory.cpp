// Tree memory: blocks that double to 2 MB, large pieces of their own, and
// the bump allocation inside the current block.
#include "xml/tree_memory.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "xml/block_pool.h"
#include "xml/xml_element.h"

namespace qxsoap {

namespace {

constexpr size_t kSmallestBlock = 256;

}  // namespace

TreeMemory::TreeMemory(size_t firstBlockBytes)
    : nextBlockBytes_(std::bit_ceil(std::clamp(firstBlockBytes, kSmallestBlock, kTreeBlockBytes))) {
}

TreeMemory::~TreeMemory() {
  // Adopted trees first: nothing of theirs may outlive what they point at.
  adopted_.clear();
  for (const Piece& block : blocks_) GiveBlock(block.memory, block.bytes);
  for (const Piece& piece : large_) GivePiece(piece.memory, piece.bytes);
}

void* TreeMemory::AllocateElsewhere(size_t bytes, size_t alignment) {
  if (bytes > kLargeAllocation) return AllocatePiece(bytes);
  StartBlock(bytes + alignment);
  // A new block's start is aligned for anything.
  void* place = next_;
  next_ += bytes;
  ASAN_UNPOISON_MEMORY_REGION(place, bytes);
  return place;
}

std::u16string_view TreeMemory::Copy(std::u16string_view text) {
  if (text.empty()) return {};
  auto* copy = AllocateArray<char16_t>(text.size());
  std::copy(text.begin(), text.end(), copy);
  return {copy, text.size()};
}

TreeMemory::Piece* TreeMemory::PieceAt(const void* memory) {
  // The piece asked for is nearly always one of the last made.
  for (auto piece = large_.rbegin(); piece != large_.rend(); ++piece) {
    if (piece->memory == memory) return &*piece;
  }
  return nullptr;
}

void* TreeMemory::GrowPiece(void* memory, size_t bytes) {
  Piece& piece = *PieceAt(memory);
  const size_t before = PooledSize(piece.bytes);
  piece.memory = RegrowPiece(piece.memory, piece.bytes, bytes);
  piece.bytes = bytes;
  reserved_ += PooledSize(bytes) - before;
  ASAN_UNPOISON_MEMORY_REGION(piece.memory, bytes);
  return piece.memory;
}

void TreeMemory::ShrinkPiece(const void* memory, size_t bytes) {
  Piece* piece = PieceAt(memory);
  if (!piece) return;
  const size_t before = PooledSize(piece->bytes);
  piece->bytes = qxsoap::ShrinkPiece(piece->memory, piece->bytes, bytes);
  reserved_ -= before - PooledSize(piece->bytes);
}

char16_t* TreeMemory::AllocateText(size_t units) {
  if (units <= kLargeAllocation / sizeof(char16_t)) return AllocateArray<char16_t>(units);
  heapTexts_.reserve(heapTexts_.size() + 1);
  heapTexts_.emplace_back(new char16_t[units]);  // left uninitialised: the caller writes it all
  reserved_ += units * sizeof(char16_t);
  return heapTexts_.back().get();
}

void TreeMemory::AdoptRoot(std::unique_ptr<XmlElement> root) {
  adopted_.push_back(std::move(root));
}

void* TreeMemory::AllocatePiece(size_t bytes) {
  large_.reserve(large_.size() + 1);
  void* piece = TakePiece(bytes);
  large_.push_back({piece, bytes});
  reserved_ += PooledSize(bytes);
  ASAN_UNPOISON_MEMORY_REGION(piece, bytes);
  return piece;
}

void TreeMemory::StartBlock(size_t minimumBytes) {
  while (nextBlockBytes_ < minimumBytes) nextBlockBytes_ *= 2;
  const size_t bytes = std::min(nextBlockBytes_, kTreeBlockBytes);
  blocks_.reserve(blocks_.size() + 1);
  void* block = TakeBlock(bytes);
  blocks_.push_back({block, bytes});
  reserved_ += bytes;
  next_ = static_cast<char*>(block);
  end_ = next_ + bytes;
  nextBlockBytes_ = std::min(bytes * 2, kTreeBlockBytes);
}

}  // namespace qxsoap
