// UTF-8 output of 16-bit text.
#ifndef QXSOAP_XML_UTF8_ENCODING_H_
#define QXSOAP_XML_UTF8_ENCODING_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qxsoap {

// Encodes `text` as UTF-8 without a byte-order mark into a new buffer from
// malloc, stores it in *out and returns its length; the caller frees it with
// free. Units up to U+007F take one byte, up to U+07FF two, others three; a
// high surrogate followed by a low one is one character of four bytes, so
// text read from four-byte UTF-8 is written back the same. A lone surrogate
// (from a character reference or UTF-16 input) is written as U+FFFD, the
// replacement character: its three-byte form would be invalid UTF-8 that
// peers' parsers refuse. Empty text, or memory running out, gives 0 and a
// null *out.
size_t EncodeUtf8(std::u16string_view text, uint8_t** out);

// The same into caller memory of at least 3 bytes per unit; returns the
// number of bytes written.
size_t EncodeUtf8Into(std::u16string_view text, uint8_t* out);

// A UTF-8 buffer from malloc that text is encoded onto piece by piece.
// Pieces are encoded on their own: a surrogate pair split between two
// pieces is written as two replacement characters.
class Utf8Buffer {
 public:
  Utf8Buffer() = default;
  Utf8Buffer(const Utf8Buffer&) = delete;
  Utf8Buffer& operator=(const Utf8Buffer&) = delete;
  ~Utf8Buffer();

  // Both throw std::bad_alloc when memory runs out.
  void Append(std::u16string_view text) {
    Reserve(text.size() * 3);  // three bytes per unit at most (a pair takes four for two)
    size_ += EncodeUtf8Into(text, bytes_ + size_);
  }
  // ASCII (markup such as `="`), copied as it is.
  void AppendAscii(std::string_view ascii) {
    Reserve(ascii.size());
    std::memcpy(bytes_ + size_, ascii.data(), ascii.size());
    size_ += ascii.size();
  }

  // `count` new bytes at the end, which the caller fills with ASCII at
  // once.
  uint8_t* Extend(size_t count) {
    Reserve(count);
    uint8_t* room = bytes_ + size_;
    size_ += count;
    return room;
  }

  // Hands the bytes to the caller (who frees them with free) and returns
  // their number; the buffer is empty afterwards. No bytes: 0 and null.
  size_t Release(uint8_t** out);

 private:
  void Reserve(size_t bytes) {
    if (capacity_ - size_ < bytes) Grow(size_ + bytes);
  }
  void Grow(size_t needed);

  uint8_t* bytes_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_UTF8_ENCODING_H_
