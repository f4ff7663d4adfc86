// UTF-8 encoding of 16-bit text.
#include "xml/utf8_encoding.h"

#include <cstdlib>
#include <cstring>

namespace qxsoap {

namespace {

constexpr uint64_t kNonAsciiBits = 0xFF80FF80FF80FF80u;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

size_t EncodeUtf8Into(std::u16string_view text, uint8_t* out) {
  uint8_t* const start = out;
  const size_t count = text.size();
  for (size_t i = 0; i < count; ++i) {
    // Markup is mostly ASCII: take four units at a time while all are.
    uint64_t four;
    while (count - i >= 4 &&
           (std::memcpy(&four, text.data() + i, 8), (four & kNonAsciiBits) == 0)) {
      for (int k = 0; k < 4; ++k) out[k] = uint8_t(text[i + k]);
      out += 4;
      i += 4;
    }
    if (i == count) break;
    const char32_t unit = text[i];
    if (unit < 0x80) {
      *out++ = uint8_t(unit);
    } else if (unit < 0x800) {
      *out++ = uint8_t(0xC0 | unit >> 6);
      *out++ = uint8_t(0x80 | (unit & 0x3F));
    } else if (IsHighSurrogate(char16_t(unit)) && i + 1 < count && IsLowSurrogate(text[i + 1])) {
      const char32_t value = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
      *out++ = uint8_t(0xF0 | value >> 18);
      *out++ = uint8_t(0x80 | (value >> 12 & 0x3F));
      *out++ = uint8_t(0x80 | (value >> 6 & 0x3F));
      *out++ = uint8_t(0x80 | (value & 0x3F));
    } else {
      *out++ = uint8_t(0xE0 | unit >> 12);
      *out++ = uint8_t(0x80 | (unit >> 6 & 0x3F));
      *out++ = uint8_t(0x80 | (unit & 0x3F));
    }
  }
  return size_t(out - start);
}

size_t EncodeUtf8(std::u16string_view text, uint8_t** out) {
  *out = nullptr;
  if (text.empty()) return 0;
  // One allocation of the most the text can take (three bytes per unit; a
  // pair takes four for two units), trimmed afterwards: the text is encoded
  // in one pass and never copied while growing.
  auto* buffer = static_cast<uint8_t*>(std::malloc(text.size() * 3));
  if (!buffer) return 0;
  const size_t length = EncodeUtf8Into(text, buffer);
  if (auto* trimmed = static_cast<uint8_t*>(std::realloc(buffer, length))) buffer = trimmed;
  *out = buffer;
  return length;
}

}  // namespace qxsoap
