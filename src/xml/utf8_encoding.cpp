// UTF-8 encoding of 16-bit text.
#include "xml/utf8_encoding.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qxsoap {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// Narrows the ASCII units at the start of `text` into `out` (advanced past
// them); returns how many it took.
size_t NarrowAscii(const char16_t* text, size_t count, uint8_t*& out) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; count - i >= 8; i += 8, out += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, nonAscii), zero)) != 0xFFFF) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
  }
#endif
  for (; i < count && text[i] < 0x80; ++i) *out++ = uint8_t(text[i]);
  return i;
}

// A large output is written once, front to back, into memory fresh from
// the system: huge pages take one fault per 2 MB instead of 512. The heap
// maps such buffers on their own, so the advice reaches no one else's
// memory; it is only advice, and harmless where it is not taken.
void AdviseHugePages(uint8_t* buffer, size_t bytes) {
  constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
  if (bytes < 2 * kHugePage) return;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(buffer) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + bytes) & ~(kHugePage - 1);
  madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace

size_t EncodeUtf8Into(std::u16string_view text, uint8_t* out) {
  uint8_t* const start = out;
  const size_t count = text.size();
  for (size_t i = 0; i < count; ++i) {
    i += NarrowAscii(text.data() + i, count - i, out);
    if (i == count) break;
    char32_t unit = text[i];
    if (unit < 0x800) {
      *out++ = uint8_t(0xC0 | unit >> 6);
      *out++ = uint8_t(0x80 | (unit & 0x3F));
    } else if (IsHighSurrogate(char16_t(unit)) && i + 1 < count && IsLowSurrogate(text[i + 1])) {
      const char32_t value = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
      *out++ = uint8_t(0xF0 | value >> 18);
      *out++ = uint8_t(0x80 | (value >> 12 & 0x3F));
      *out++ = uint8_t(0x80 | (value >> 6 & 0x3F));
      *out++ = uint8_t(0x80 | (value & 0x3F));
    } else {
      if (IsSurrogate(char16_t(unit))) unit = kReplacementCharacter;
      *out++ = uint8_t(0xE0 | unit >> 12);
      *out++ = uint8_t(0x80 | (unit >> 6 & 0x3F));
      *out++ = uint8_t(0x80 | (unit & 0x3F));
    }
  }
  return size_t(out - start);
}

size_t EncodeUtf8(std::u16string_view text, uint8_t** out) {
  *out = nullptr;
  try {
    Utf8Buffer buffer;
    buffer.Append(text);
    return buffer.Release(out);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

Utf8Buffer::~Utf8Buffer() { std::free(bytes_); }

void Utf8Buffer::Grow(size_t needed) {
  // Doubling keeps appending linear; the unused end is trimmed on release.
  const size_t capacity = std::max({needed, capacity_ * 2, size_t(1024)});
  auto* grown = static_cast<uint8_t*>(std::realloc(bytes_, capacity));
  if (!grown) throw std::bad_alloc();
  AdviseHugePages(grown, capacity);
  bytes_ = grown;
  capacity_ = capacity;
}

size_t Utf8Buffer::Release(uint8_t** out) {
  *out = nullptr;
  if (size_ == 0) return 0;
  if (auto* trimmed = static_cast<uint8_t*>(std::realloc(bytes_, size_))) bytes_ = trimmed;
  *out = bytes_;
  bytes_ = nullptr;
  capacity_ = 0;
  return std::exchange(size_, 0);
}

}  // namespace qxsoap
