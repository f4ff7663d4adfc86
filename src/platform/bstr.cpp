// BSTR allocation. A BSTR block is a header whose last 4 bytes hold the byte
// length, then the characters, then two zero bytes; the BSTR points just past
// the header. The header is 8 bytes so that the characters stay 8-byte
// aligned, as they are on 64-bit Windows.
#include <cstdlib>
#include <cstring>

#include "qxcom/oleauto.h"

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kTerminatorBytes = 2;
// Lengths are stored in 32 bits and handed out as UINT characters or bytes;
// anything near 2 GiB is refused so that byte and character counts, and the
// allocation size, never wrap.
constexpr size_t kMaxByteLength = 0x7FFFFFF0;

char* BlockOf(BSTR text) { return reinterpret_cast<char*>(text) - kHeaderBytes; }

void StoreByteLength(BSTR text, UINT bytes) {
  std::memcpy(reinterpret_cast<char*>(text) - sizeof(UINT), &bytes, sizeof bytes);
}

// A new BSTR of `bytes` bytes holding `source`'s bytes, or zeros for a
// null `source`; the odd trailing byte and the terminator are always zero.
// nullptr when the length is too large or memory runs out. A copy is not
// zeroed first: most BSTRs are copies, and clearing them doubles the work.
BSTR Allocate(const void* source, size_t bytes) {
  if (bytes > kMaxByteLength) return nullptr;
  // Rounding up to whole characters keeps the terminator a whole zero
  // character even after an odd byte length.
  const size_t payload = (bytes + 1) & ~size_t{1};
  const size_t blockBytes = kHeaderBytes + payload + kTerminatorBytes;
  char* block = static_cast<char*>(source ? std::malloc(blockBytes) : std::calloc(1, blockBytes));
  if (block == nullptr) return nullptr;
  BSTR text = reinterpret_cast<BSTR>(block + kHeaderBytes);
  StoreByteLength(text, static_cast<UINT>(bytes));
  if (source) {
    if (bytes != 0) std::memcpy(text, source, bytes);
    std::memset(reinterpret_cast<char*>(text) + bytes, 0, payload - bytes + kTerminatorBytes);
  }
  return text;
}

size_t LengthOf(const OLECHAR* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

}  // namespace

extern "C" {

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  return Allocate(text, LengthOf(text) * sizeof(OLECHAR));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  return Allocate(text, size_t{length} * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) { return Allocate(bytes, length); }

INT SysReAllocString(BSTR* target, const OLECHAR* text) {
  UINT length = 0;
  if (text != nullptr) {
    size_t counted = LengthOf(text);
    if (counted > kMaxByteLength / sizeof(OLECHAR)) return FALSE;
    length = static_cast<UINT>(counted);
  }
  return SysReAllocStringLen(target, text, length);
}

// A null `text` keeps the old characters (as far as they reach) and zeroes
// the rest, as realloc would. The new string is built before the old one is
// freed, so `text` may point into *target.
INT SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length) {
  if (target == nullptr) return FALSE;
  size_t bytes = size_t{length} * sizeof(OLECHAR);
  BSTR replacement = Allocate(text, bytes);
  if (replacement == nullptr) return FALSE;
  if (text == nullptr && *target != nullptr) {
    size_t kept = SysStringByteLen(*target);
    std::memcpy(replacement, *target, kept < bytes ? kept : bytes);
  }
  SysFreeString(*target);
  *target = replacement;
  return TRUE;
}

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(BlockOf(text));
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

UINT SysStringByteLen(BSTR text) {
  if (text == nullptr) return 0;
  UINT bytes;
  std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof(UINT), sizeof bytes);
  return bytes;
}

// Joins byte for byte, so that a string made by SysAllocStringByteLen with an
// odd length keeps its exact bytes.
HRESULT VarBstrCat(BSTR left, BSTR right, BSTR* result) {
  if (result == nullptr) return E_INVALIDARG;
  size_t leftBytes = SysStringByteLen(left);
  size_t rightBytes = SysStringByteLen(right);
  BSTR joined = Allocate(nullptr, leftBytes + rightBytes);
  if (joined == nullptr) return E_OUTOFMEMORY;
  char* out = reinterpret_cast<char*>(joined);
  if (leftBytes != 0) std::memcpy(out, left, leftBytes);
  if (rightBytes != 0) std::memcpy(out + leftBytes, right, rightBytes);
  *result = joined;
  return S_OK;
}

}  // extern "C"
