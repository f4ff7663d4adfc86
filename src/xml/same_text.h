// Equality and order of 16-bit texts compared several units at once: the
// standard comparison of char16_t text goes unit by unit, which is slow
// over the long namespace URIs that names and attribute keys start with.
#ifndef QXSOAP_XML_SAME_TEXT_H_
#define QXSOAP_XML_SAME_TEXT_H_

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qxsoap {

// Equality of `units` (at most 8) units at `a` and `b`, inline: names and
// prefixes are mostly this short, where a call to memcmp costs more than
// the comparison. Two loads from each text, overlapping when the length is
// not their size, cover every length without a loop.
inline bool SameShortUnits(const char16_t* a, const char16_t* b, size_t units) {
  const auto same = [a, b]<typename Word>(Word, size_t at) {
    Word wordA, wordB;
    std::memcpy(&wordA, reinterpret_cast<const char*>(a) + at, sizeof(Word));
    std::memcpy(&wordB, reinterpret_cast<const char*>(b) + at, sizeof(Word));
    return wordA == wordB;
  };
  const size_t bytes = units * sizeof(char16_t);
  if (bytes >= 8) return same(uint64_t(), 0) && same(uint64_t(), bytes - 8);
  if (bytes >= 4) return same(uint32_t(), 0) && same(uint32_t(), bytes - 4);
  return bytes == 0 || same(uint16_t(), 0);
}

// Short texts are compared inline; longer ones by memcmp, which is only
// called with a length (an empty view may hold a null pointer, which
// memcmp must not be given).
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  if (a.size() <= 8) return SameShortUnits(a.data(), b.data(), a.size());
  return a.data() == b.data() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

// Equality with a string literal: its length is known, so the comparison
// compiles to a word compare or two instead of a loop over units.
template <size_t N>
inline bool IsText(std::u16string_view text, const char16_t (&literal)[N]) {
  static_assert(N > 1, "an empty literal: compare with empty()");
  return text.size() == N - 1 &&
         std::memcmp(text.data(), literal, (N - 1) * sizeof(char16_t)) == 0;
}

inline bool StartsWithText(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

// <0, 0 or >0 as the first `count` units of `a` order against those of `b`,
// unit by unit. Four units are compared as one word; where the words
// differ, the lowest differing byte (the words are read little-endian)
// belongs to the first differing unit.
inline int CompareUnits(const char16_t* a, const char16_t* b, size_t count) {
  static_assert(std::endian::native == std::endian::little);
  size_t at = 0;
  for (; at + 4 <= count; at += 4) {
    uint64_t wordA, wordB;
    std::memcpy(&wordA, a + at, sizeof wordA);
    std::memcpy(&wordB, b + at, sizeof wordB);
    if (wordA != wordB) {
      const size_t unit = at + size_t(std::countr_zero(wordA ^ wordB)) / 16;
      return int(a[unit]) - int(b[unit]);
    }
  }
  for (; at < count; ++at) {
    if (a[at] != b[at]) return int(a[at]) - int(b[at]);
  }
  return 0;
}

// <0, 0 or >0 as `a` orders against `b`, unit by unit, a prefix first.
inline int CompareText(std::u16string_view a, std::u16string_view b) {
  if (const int order = CompareUnits(a.data(), b.data(), std::min(a.size(), b.size()))) {
    return order;
  }
  return a.size() < b.size() ? -1 : int(a.size() > b.size());
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_SAME_TEXT_H_
