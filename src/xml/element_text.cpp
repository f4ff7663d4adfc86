// Joining runs of character data: short texts in a buffer of their depth,
// long ones in a piece of tree memory that becomes the text.
#include "xml/element_text.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace qxsoap {

namespace {

// Joined texts up to this many units are kept once per document.
constexpr size_t kShortText = 64;
// A joined text longer than this moves into a piece of tree memory, which
// starts with room for kFirstPieceUnits.
constexpr size_t kSmallBufferUnits = size_t(32) << 10;
constexpr size_t kFirstPieceUnits = size_t(2) << 20;

}  // namespace

void ElementTexts::Append(Text& text, std::u16string_view run, int depth) {
  if (run.empty()) return;
  if (!text.joined_ && text.first_.empty()) {
    // A view into the document, unless the run is a reference's character.
    text.first_ = InDocument(run) ? run : memory_.Copy(run);
    return;
  }
  if (!text.joined_) {
    if (buffers_.size() < size_t(depth)) buffers_.resize(size_t(depth));
    text.joined_ = &buffers_[size_t(depth) - 1];
    text.joined_->small.clear();
    // Room for a short text at once: growing by doubling from nothing took
    // half the allocations of reading a small message.
    text.joined_->small.reserve(kShortText);
    Join(*text.joined_, text.first_);
  }
  Join(*text.joined_, run);
}

void ElementTexts::Join(Buffer& buffer, std::u16string_view run) {
  if (!buffer.piece && buffer.small.size() + run.size() <= kSmallBufferUnits) {
    buffer.small.insert(buffer.small.end(), run.begin(), run.end());
    return;
  }
  const size_t needed = (buffer.piece ? buffer.size : buffer.small.size()) + run.size();
  if (!buffer.piece) {
    MoveToPiece(buffer, needed);
  } else if (needed > buffer.capacity) {
    // Pages not written yet take no memory, and large pieces move without a
    // copy: doubling costs nothing but address space.
    buffer.capacity = std::max(needed, 2 * buffer.capacity);
    buffer.piece = static_cast<char16_t*>(memory_.GrowPiece(buffer.piece, buffer.capacity * 2));
  }
  std::copy(run.begin(), run.end(), buffer.piece + buffer.size);
  buffer.size += run.size();
}

void ElementTexts::MoveToPiece(Buffer& buffer, size_t needed) {
  // Room beyond the recycled sizes from the start: growing through them
  // would leave each smaller piece mapped in the spare lists, and pages
  // not written yet take no memory.
  buffer.capacity = std::max({needed, 2 * buffer.small.size(), kFirstPieceUnits});
  buffer.piece = static_cast<char16_t*>(memory_.AllocatePiece(buffer.capacity * 2));
  std::copy(buffer.small.begin(), buffer.small.end(), buffer.piece);
  buffer.size = buffer.small.size();
  std::vector<char16_t>().swap(buffer.small);
}

std::u16string_view ElementTexts::Finish(Text& text) {
  if (!text.joined_) return text.first_;
  Buffer& buffer = *text.joined_;
  if (buffer.piece) {
    // The piece is the text; the tree keeps it.
    const std::u16string_view kept(buffer.piece, buffer.size);
    if (kept.size() > UINT32_MAX) throw std::bad_alloc();
    memory_.ShrinkPiece(buffer.piece, buffer.size * 2);
    buffer = Buffer();
    return kept;
  }
  const std::u16string_view joined(buffer.small.data(), buffer.small.size());
  if (joined.size() > kShortText) return memory_.Copy(joined);
  std::u16string_view kept = shortTexts_.Find(joined);
  return kept.data() ? kept : shortTexts_.Intern(memory_.Copy(joined));
}

}  // namespace qxsoap
