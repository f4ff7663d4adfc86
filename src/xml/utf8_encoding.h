// UTF-8 output of 16-bit text.
#ifndef QXSOAP_XML_UTF8_ENCODING_H_
#define QXSOAP_XML_UTF8_ENCODING_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qxsoap {

// Encodes `text` as UTF-8 without a byte-order mark into a new buffer from
// malloc, stores it in *out and returns its length; the caller frees it with
// free. Units up to U+007F take one byte, up to U+07FF two, others three; a
// high surrogate followed by a low one is one character of four bytes, so
// text read from four-byte UTF-8 is written back the same. A lone surrogate
// is written as three bytes on its own, which the reader reads back as that
// unit. Empty text, or memory running out, gives 0 and a null *out.
size_t EncodeUtf8(std::u16string_view text, uint8_t** out);

// The same into caller memory of at least 3 bytes per unit; returns the
// number of bytes written.
size_t EncodeUtf8Into(std::u16string_view text, uint8_t* out);

}  // namespace qxsoap

#endif  // QXSOAP_XML_UTF8_ENCODING_H_
