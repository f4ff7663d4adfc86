// Vector scans over 16-bit text: find the first of a few stop units
// sixteen units at a time (SSE2, always there on x86-64), with a portable loop for
// other machines and for the tail.
#ifndef QXSOAP_XML_TEXT_SCAN_H_
#define QXSOAP_XML_TEXT_SCAN_H_

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qxsoap {

// The first unit in [pos, end) equal to one of `Stops`, or `end`.
template <char16_t... Stops>
inline const char16_t* FindFirstOf(const char16_t* pos, const char16_t* end) {
#if defined(__SSE2__)
  const __m128i stops[] = {_mm_set1_epi16(short(Stops))...};
  const auto hitsAt = [&stops](const char16_t* at) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    __m128i hits = _mm_setzero_si128();
    for (const __m128i& stop : stops) hits = _mm_or_si128(hits, _mm_cmpeq_epi16(units, stop));
    return unsigned(_mm_movemask_epi8(hits));
  };
  // Sixteen units a turn, so that long runs cost one branch per 32 bytes.
  for (; end - pos >= 16; pos += 16) {
    const unsigned mask = hitsAt(pos) | hitsAt(pos + 8) << 16;
    if (mask) return pos + std::countr_zero(mask) / 2;
  }
  for (; end - pos >= 8; pos += 8) {
    if (const unsigned mask = hitsAt(pos)) return pos + std::countr_zero(mask) / 2;
  }
#endif
  while (pos != end && !((*pos == Stops) || ...)) ++pos;
  return pos;
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_TEXT_SCAN_H_
