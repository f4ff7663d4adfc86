// Turns message bytes into the 16-bit text the reader walks. The first
// bytes decide the encoding; an encoding named in an XML declaration is
// never consulted.
#ifndef QXSOAP_XML_TEXT_DECODING_H_
#define QXSOAP_XML_TEXT_DECODING_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "xml/tree_memory.h"

namespace qxsoap {

struct DecodedText {
  std::u16string_view text;  // owned by the tree memory it was decoded into
  size_t start = 0;          // 1 when text begins with a UTF-16 byte-order mark
};

// Decodes into `memory`, so that the tree's strings can point into the
// text. FF FE: UTF-16 little-endian; FE FF: UTF-16
// big-endian (for both an odd last byte is ignored and the mark stays in
// the text, skipped by `start`); anything else: UTF-8 (see DecodeUtf8)
// after an optional EF BB BF. Throws std::bad_alloc.
DecodedText DecodeInput(const uint8_t* bytes, size_t count, TreeMemory& memory);

// Decodes UTF-8 into `out`, which has room for `count` units, and returns the
// number of units written. Sequences take the one- to six-byte forms of
// RFC 2279. Values from U+10000 to U+10FFFF become surrogate pairs, so no
// text is lost; decoding stops at the first byte that starts no sequence,
// a bad continuation byte, a sequence cut off by the end, an over-long form
// or a value above U+10FFFF (which no 16-bit text can hold). What was
// decoded up to there is the text.
size_t DecodeUtf8(const uint8_t* bytes, size_t count, char16_t* out);

}  // namespace qxsoap

#endif  // QXSOAP_XML_TEXT_DECODING_H_
