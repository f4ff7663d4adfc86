// The reader's cursor over decoded 16-bit text: the primitives the grammar is
// written in (next, unget, mark and restore, matching) and the line number.
#ifndef QXSOAP_XML_TEXT_CURSOR_H_
#define QXSOAP_XML_TEXT_CURSOR_H_

#include <algorithm>
#include <climits>
#include <string_view>

#include "xml/char_classes.h"
#include "xml/text_scan.h"

namespace qxsoap {

class TextCursor {
 public:
  // `start` is where reading begins (after a byte-order mark); the line
  // count covers everything from the beginning of `text`.
  explicit TextCursor(std::u16string_view text, size_t start = 0)
      : begin_(text.data()), end_(text.data() + text.size()), pos_(begin_ + start) {}

  // The unit at the cursor, advancing past it; 0 at the end, without moving.
  // A U+0000 in the text reads as 0 too, so it stops whatever expects input.
  char16_t Next() { return pos_ == end_ ? char16_t(0) : *pos_++; }
  void Unget() {
    if (pos_ != begin_) --pos_;
  }
  bool AtEnd() const { return pos_ == end_; }
  const char16_t* Begin() const { return begin_; }
  const char16_t* End() const { return end_; }
  char16_t Peek() const { return pos_ == end_ ? char16_t(0) : *pos_; }

  // Lookahead never copies: Match consumes only what it matched, and a mark is
  // where a slice copied out by Since begins.
  const char16_t* Mark() const { return pos_; }
  std::u16string_view Since(const char16_t* mark) const { return {mark, size_t(pos_ - mark)}; }

  // Advances over units of `classes`.
  void SkipWhile(uint8_t classes) {
    while (pos_ != end_ && IsInClass(*pos_, classes)) ++pos_;
  }
  // Advances to the next unit of `classes`, or to the end.
  void SkipUntilInClass(uint8_t classes) {
    while (pos_ != end_ && !IsInClass(*pos_, classes)) ++pos_;
  }
  // Advances to the next of `Stops`, or to the end.
  template <char16_t... Stops>
  void SkipTo() {
    pos_ = FindFirstOf<Stops...>(pos_, end_);
  }

  // Advances over spaces; true when there was at least one.
  bool SkipSpaces() {
    const char16_t* start = pos_;
    SkipWhile(kSpace);
    return pos_ != start;
  }

  // A failed match leaves the cursor where it was, also at the end of the
  // text, where reading took nothing and so there is nothing to step back
  // over: an error found there is reported on the line where the text ends.
  bool Match(char16_t c) {
    if (pos_ == end_ || *pos_ != c) return false;
    ++pos_;
    return true;
  }
  bool Match(std::u16string_view s) {
    if (size_t(end_ - pos_) < s.size() || !std::equal(s.begin(), s.end(), pos_)) return false;
    pos_ += s.size();
    return true;
  }

  // 1 plus the line feeds before the cursor; carriage returns do not count.
  // Counted on demand: only a failed parse asks.
  int Line() const {
    const auto feeds = std::count(begin_, pos_, u'\n');
    return feeds >= INT_MAX ? INT_MAX : int(feeds) + 1;
  }
  // 1 plus the units between the last line feed and the cursor.
  int Column() const {
    const char16_t* lineStart = pos_;
    while (lineStart != begin_ && lineStart[-1] != u'\n') --lineStart;
    return pos_ - lineStart >= INT_MAX ? INT_MAX : int(pos_ - lineStart) + 1;
  }

 private:
  const char16_t* begin_;
  const char16_t* end_;
  const char16_t* pos_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_TEXT_CURSOR_H_
