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

struct FreeText {
  void operator()(char16_t* text) const { std::free(text); }
};
using TextBuffer = std::unique_ptr<char16_t, FreeText>;

// Room for `units` units of text.
TextBuffer NewText(size_t units) {
  TextBuffer text(static_cast<char16_t*>(std::malloc(std::max<size_t>(units, 1) * 2)));
  if (!text) throw std::bad_alloc();
  return text;
}

// Hands the first `used` units of `text` to `memory`, giving back the room
// they did not need when that is worth a move (non-ASCII UTF-8 takes fewer
// units than bytes).
std::u16string_view Keep(TextBuffer text, size_t reserved, size_t used, TreeMemory& memory) {
  size_t kept = std::max<size_t>(reserved, 1);
  if (used < reserved - reserved / 8) {
    const size_t trimmedUnits = std::max<size_t>(used, 1);
    if (auto* trimmed = static_cast<char16_t*>(std::realloc(text.get(), trimmedUnits * 2))) {
      static_cast<void>(text.release());
      text.reset(trimmed);
      kept = trimmedUnits;
    }
  }
  memory.AdoptText(text.get(), kept);
  return {text.release(), used};
}

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
    TextBuffer text = NewText(units);
    if (littleEndian) {
      std::memcpy(text.get(), bytes, units * 2);
    } else {
      for (size_t u = 0; u < units; ++u) {
        text.get()[u] = char16_t(bytes[2 * u] << 8 | bytes[2 * u + 1]);
      }
    }
    return {Keep(std::move(text), units, units, memory), 1};
  }
  if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    bytes += 3;
    count -= 3;
  }
  // A UTF-8 sequence of n bytes gives at most n units (four bytes: a pair).
  TextBuffer text = NewText(count);
  const size_t units = DecodeUtf8(bytes, count, text.get());
  return {Keep(std::move(text), count, units, memory), 0};
}

std::u16string_view CopyInput(std::u16string_view text, TreeMemory& memory) {
  TextBuffer copy = NewText(text.size());
  std::memcpy(copy.get(), text.data(), text.size() * 2);
  return Keep(std::move(copy), text.size(), text.size(), memory);
}

}  // namespace qxsoap
