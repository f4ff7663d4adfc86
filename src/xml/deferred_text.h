// xml/deferred_text.h: the text of an element that is made as the tree is
// written rather than when the tree is built. A serializer gives a long
// text that needs no escaping this way (the base64 of a binary value of
// megabytes): the writer has it written straight into the output, so it
// never lies in the tree as 16-bit units first, which would take twice its
// length in memory and a second pass to encode.
//
// Threads: a producer is read by the thread that reads its tree.
#ifndef QXSOAP_XML_DEFERRED_TEXT_H_
#define QXSOAP_XML_DEFERRED_TEXT_H_

#include <cstddef>
#include <cstdint>

namespace qxsoap {

class DeferredText {
 public:
  // The number of characters: all ASCII, none of them '<', '&', '>', a quote
  // or a control character, so the text is written as it is.
  virtual size_t Length() const = 0;
  // Write the Length() characters at `out`, which has room for them, as
  // bytes or as 16-bit units. Each call writes the same text.
  virtual void Write(uint8_t* out) const = 0;
  virtual void Write(char16_t* out) const = 0;

 protected:
  // A producer lives in tree memory, which runs no destructors: it owns
  // nothing, and nothing deletes it through this interface.
  ~DeferredText() = default;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_DEFERRED_TEXT_H_
