// encode/binary_encoding.h: bytes written as base64 or hex text, the forms
// of base64Binary and hexBinary values.
//
// Each form is written into the caller's memory (16-bit units for a text,
// bytes for UTF-8 output, where ASCII is itself), appended to the caller's
// text, grown once to its final size, or left to the writer of a tree
// (BinaryText), with no line breaks or other separators however long the
// data.
//
// Threads: the functions keep no state; calls on any threads are independent.
#ifndef QXSOAP_ENCODE_BINARY_ENCODING_H_
#define QXSOAP_ENCODE_BINARY_ENCODING_H_

#include <span>
#include <string>

#include "qxcom/types.h"
#include "xml/deferred_text.h"

namespace qxsoap {

// The base64 text of `bytes`: the standard alphabet ("A"-"Z", "a"-"z",
// "0"-"9", "+", "/"), four units for each three bytes, high bits first; a
// last group of one byte gives two units and "==", of two bytes three units
// and "=". No bytes give no text. Base64Length is its length; WriteBase64
// writes it at `out`, which has room for that many units.
size_t Base64Length(size_t byteCount);
void WriteBase64(std::span<const BYTE> bytes, char16_t* out);
void WriteBase64(std::span<const BYTE> bytes, BYTE* out);
void AppendBase64(std::span<const BYTE> bytes, std::u16string& text);

// Two upper-case hex digits per byte, high nibble first.
size_t HexLength(size_t byteCount);
void WriteHex(std::span<const BYTE> bytes, char16_t* out);
void WriteHex(std::span<const BYTE> bytes, BYTE* out);
void AppendHex(std::span<const BYTE> bytes, std::u16string& text);

// The base64 or hex text of bytes that the caller keeps, as an element's
// deferred text: encoded as the tree is written, straight into the output.
class BinaryText final : public DeferredText {
 public:
  enum class Form { kBase64, kHex };
  BinaryText(Form form, std::span<const BYTE> bytes) : form_(form), bytes_(bytes) {}

  size_t Length() const override;
  void Write(BYTE* out) const override;
  void Write(char16_t* out) const override;

 private:
  Form form_;
  std::span<const BYTE> bytes_;
};

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_BINARY_ENCODING_H_
