// model/cursor.h: the caller-held 32-bit position of the GetFirst/GetNext
// pairs. The position is signed on the wire but advanced in unsigned
// arithmetic, so -1 steps to 0 and a huge value never wraps into range.
#ifndef QXSOAP_MODEL_CURSOR_H_
#define QXSOAP_MODEL_CURSOR_H_

#include <cstddef>
#include <optional>

#include "qxcom/types.h"

namespace qxsoap {

// Index that GetFirst hands out for a list of `count` entries, or nothing for
// an empty list.
inline std::optional<size_t> FirstIndex(size_t count) {
  if (count == 0) return std::nullopt;
  return 0;
}

// Index that GetNext hands out after `position`: position + 1 computed as an
// unsigned 32-bit value, or nothing when that is not below `count`.
inline std::optional<size_t> NextIndex(LONG position, size_t count) {
  const ULONG next = static_cast<ULONG>(position) + 1u;
  if (next >= count) return std::nullopt;
  return next;
}

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_CURSOR_H_
