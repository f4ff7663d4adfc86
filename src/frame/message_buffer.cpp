// The message bytes of one exchange.
#include "frame/message_buffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace qxsoap {

bool MessageBuffer::SetBuffer(std::span<const BYTE> bytes) {
  if (bytes.size() > std::numeric_limits<ULONG>::max()) return false;
  BYTE* copy = nullptr;
  if (!bytes.empty()) {
    copy = static_cast<BYTE*>(std::malloc(bytes.size()));
    if (!copy) return false;
    std::memcpy(copy, bytes.data(), bytes.size());
  }
  return AdoptBuffer(copy, bytes.size());
}

bool MessageBuffer::AdoptBuffer(BYTE* bytes, size_t length) {
  if (length > std::numeric_limits<ULONG>::max()) return false;
  bufferData_.reset(bytes);
  bufferLength_ = static_cast<ULONG>(length);
  return true;
}

void MessageBuffer::EmptyBuffer() {
  bufferData_.reset();
  bufferLength_ = 0;
}

}  // namespace qxsoap
