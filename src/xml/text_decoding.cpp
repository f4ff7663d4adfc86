// Input decoding: byte-order marks, UTF-16 in either byte order, UTF-8.
#include "xml/text_decoding.h"

#include <bit>
#include <cstring>

namespace qxsoap {

namespace {

static_assert(std::endian::native == std::endian::little,
              "UTF-16LE input is read in place as native 16-bit units");

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
constexpr uint64_t kHighBits = 0x8080808080808080u;

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
    // Markup is mostly ASCII: take eight bytes at a time while none has its
    // high bit set.
    uint64_t word;
    while (count - i >= 8 && (std::memcpy(&word, bytes + i, 8), (word & kHighBits) == 0)) {
      for (int k = 0; k < 8; ++k) out[k] = bytes[i + k];
      out += 8;
      i += 8;
    }
    if (i == count) break;
    const uint8_t lead = bytes[i];
    if (lead < 0x80) {
      *out++ = lead;
      ++i;
      continue;
    }
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

DecodedText DecodeInput(const uint8_t* bytes, size_t count) {
  DecodedText decoded;
  const bool littleEndian = count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  const bool bigEndian = count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (littleEndian || bigEndian) {
    const size_t units = count / 2;
    decoded.start = 1;
    if (littleEndian && reinterpret_cast<uintptr_t>(bytes) % alignof(char16_t) == 0) {
      decoded.text = {reinterpret_cast<const char16_t*>(bytes), units};
      return decoded;
    }
    decoded.storage = std::make_unique_for_overwrite<char16_t[]>(units);
    for (size_t u = 0; u < units; ++u) {
      const uint8_t first = bytes[2 * u], second = bytes[2 * u + 1];
      decoded.storage[u] =
          littleEndian ? char16_t(first | second << 8) : char16_t(first << 8 | second);
    }
    decoded.text = {decoded.storage.get(), units};
    return decoded;
  }
  if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    bytes += 3;
    count -= 3;
  }
  // A UTF-8 sequence of n bytes gives at most n units (four bytes: a pair).
  decoded.storage = std::make_unique_for_overwrite<char16_t[]>(count);
  decoded.text = {decoded.storage.get(), DecodeUtf8(bytes, count, decoded.storage.get())};
  return decoded;
}

}  // namespace qxsoap
