// Joining runs of character data, with buffers that grow by a quarter so
// that a long joined text costs little more than itself while it is read.
#include "xml/element_text.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace qxsoap {

namespace {

// Joined texts up to this many units are kept once per document.
constexpr size_t kShortText = 64;
// A buffer larger than this is given back once its text is copied out.
constexpr size_t kKeptBufferUnits = size_t(32) << 10;

void AppendGrowingByAQuarter(std::vector<char16_t>& buffer, std::u16string_view run) {
  const size_t needed = buffer.size() + run.size();
  if (needed > buffer.capacity()) {
    buffer.reserve(std::max({needed, buffer.capacity() + buffer.capacity() / 4, size_t(256)}));
  }
  buffer.insert(buffer.end(), run.begin(), run.end());
}

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
    text.joined_->clear();
    AppendGrowingByAQuarter(*text.joined_, text.first_);
  }
  AppendGrowingByAQuarter(*text.joined_, run);
}

std::u16string_view ElementTexts::Finish(Text& text) {
  if (!text.joined_) return text.first_;
  std::vector<char16_t>& buffer = *text.joined_;
  const std::u16string_view joined(buffer.data(), buffer.size());
  if (joined.size() > UINT32_MAX) throw std::bad_alloc();
  std::u16string_view kept;
  if (joined.size() <= kShortText) {
    kept = shortTexts_.Find(joined);
    if (!kept.data()) kept = shortTexts_.Intern(memory_.Copy(joined));
  } else {
    kept = memory_.Copy(joined);
  }
  if (buffer.capacity() > kKeptBufferUnits) std::vector<char16_t>().swap(buffer);
  return kept;
}

}  // namespace qxsoap
