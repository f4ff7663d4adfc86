// Input decoding: byte-order marks, UTF-16 in either byte order, UTF-8.
#include "xml/text_decoding.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qxsoap {

namespace {

static_assert(std::endian::native == std::endian::little,
              "UTF-16LE input is copied as native 16-bit units");

struct SequenceForm {
  uint8_t leadMask;
  uint8_t leadPattern;
  int continuationBytes;
  uint32_t smallestValue;  // below it the form is over-long
};

// Lead byte forms of RFC 2279 from two bytes up.
constexpr SequenceForm kSequenceForms[] = {
    {0xE0, 0xC0, 1, 0x80},     {0xF0, 0xE0, 2, 0x800},     {0xF8, 0xF0, 3, 0x10000},
    {0xFC, 0xF8, 4, 0x200000}, {0xFE, 0xFC, 5, 0x4000000},
};

constexpr uint32_t kLastCodePoint = 0x10FFFF;

// Widens the ASCII bytes at the start of `bytes` into `out` (advanced past
// them); returns how many it took.
size_t WidenAscii(const uint8_t* bytes, size_t count, char16_t*& out) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; count - i >= 16; i += 16, out += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    if (_mm_movemask_epi8(chunk) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(chunk, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(chunk, zero));
  }
#endif
  for (; i < count && bytes[i] < 0x80; ++i) *out++ = bytes[i];
  return i;
}

const SequenceForm* FormOf(uint8_t lead) {
  for (const SequenceForm& form : kSequenceForms) {
    if ((lead & form.leadMask) == form.leadPattern) return &form;
  }
  return nullptr;
}

}  // namespace

size_t DecodeUtf8(const uint8_t* bytes, size_t count, char16_t* out) {
  char16_t* const outStart = out;
  size_t i = 0;
  while (i < count) {
    // Markup is mostly ASCII: widen sixteen bytes at a time while none has
    // its high bit set.
    i += WidenAscii(bytes + i, count - i, out);
    if (i == count) break;
    const uint8_t lead = bytes[i];
    const SequenceForm* form = FormOf(lead);
    if (!form || count - i - 1 < size_t(form->continuationBytes)) break;
    uint32_t value = lead & uint8_t(~form->leadMask);
    int k = 1;
    for (; k <= form->continuationBytes && (bytes[i + k] & 0xC0) == 0x80; ++k) {
      value = (value << 6) | (bytes[i + k] & 0x3F);
    }
    if (k <= form->continuationBytes || value < form->smallestValue || value > kLastCodePoint) {
      break;
    }
    if (value >= 0x10000) {
      value -= 0x10000;
      *out++ = char16_t(0xD800 | (value >> 10));
      *out++ = char16_t(0xDC00 | (value & 0x3FF));
    } else {
      *out++ = char16_t(value);
    }
    i += 1 + form->continuationBytes;
  }
  return size_t(out - outStart);
}

DecodedText DecodeInput(const uint8_t* bytes, size_t count, TreeMemory& memory) {
  const bool littleEndian = count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  const bool bigEndian = count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (littleEndian || bigEndian) {
    const size_t units = count / 2;
    auto* text = memory.AllocateArray<char16_t>(units);
    if (littleEndian) {
      std::memcpy(text, bytes, units * 2);
    } else {
      for (size_t u = 0; u < units; ++u) text[u] = char16_t(bytes[2 * u] << 8 | bytes[2 * u + 1]);
    }
    return {{text, units}, 1};
  }
  if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    bytes += 3;
    count -= 3;
  }
  // A UTF-8 sequence of n bytes gives at most n units (four bytes: a pair).
  auto* text = memory.AllocateArray<char16_t>(count);
  const size_t units = DecodeUtf8(bytes, count, text);
  // Non-ASCII text takes fewer units than bytes: give back what was not used.
  memory.ShrinkPiece(text, units * 2);
  return {{text, units}, 0};
}

}  // namespace qxsoap
