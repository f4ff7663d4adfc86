// frame/message_buffer.h: the bytes of the current message of an exchange:
// the request (or the reply read back from the next hop) after SetBuffer, the
// produced message after Serialize.
#ifndef QXSOAP_FRAME_MESSAGE_BUFFER_H_
#define QXSOAP_FRAME_MESSAGE_BUFFER_H_

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "qxcom/types.h"

namespace qxsoap {

class MessageBuffer {
 public:
  MessageBuffer() = default;
  MessageBuffer(const MessageBuffer&) = delete;
  MessageBuffer& operator=(const MessageBuffer&) = delete;
  virtual ~MessageBuffer() = default;

  // Takes a copy of `bytes` as the current message; the previous one is
  // freed. Returns false, leaving the current message, when memory for the
  // copy cannot be had. An empty span makes the message empty.
  bool SetBuffer(std::span<const BYTE> bytes);

  // Makes `bytes`, `length` bytes from malloc, the current message without a
  // copy; the buffer frees them with free. The previous message is freed.
  // A length beyond the automation count is refused: false, and `bytes`
  // stay the caller's.
  bool AdoptBuffer(BYTE* bytes, size_t length);

  // The current message; valid until the next SetBuffer or EmptyBuffer.
  std::span<const BYTE> GetBuffer() const { return {bufferData_.get(), bufferLength_}; }

  // Frees the current message; the buffer is then empty.
  void EmptyBuffer();

 private:
  struct FreeBytes {
    void operator()(BYTE* bytes) const { std::free(bytes); }
  };
  std::unique_ptr<BYTE, FreeBytes> bufferData_;  // from malloc; null when empty
  ULONG bufferLength_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_MESSAGE_BUFFER_H_
