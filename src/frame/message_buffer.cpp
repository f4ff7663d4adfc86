// The message bytes of one exchange.
#include "frame/message_buffer.h"

#include <cstring>
#include <limits>
#include <new>

namespace qxsoap {

bool MessageBuffer::SetBuffer(std::span<const BYTE> bytes) {
  if (bytes.size() > std::numeric_limits<ULONG>::max()) return false;
  std::unique_ptr<BYTE[]> copy;
  if (!bytes.empty()) {
    copy.reset(new (std::nothrow) BYTE[bytes.size()]);
    if (!copy) return false;
    std::memcpy(copy.get(), bytes.data(), bytes.size());
  }
  bufferData_ = std::move(copy);
  bufferLength_ = static_cast<ULONG>(bytes.size());
  return true;
}

void MessageBuffer::EmptyBuffer() {
  bufferData_.reset();
  bufferLength_ = 0;
}

}  // namespace qxsoap
