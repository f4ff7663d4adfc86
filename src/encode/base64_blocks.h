// encode/base64_blocks.h: the bulk of a long byte run encoded as base64 24
// bytes at a time with AVX2, on processors that have it, as 16-bit units
// (text for the tree) or as bytes (straight into UTF-8 output).
//
// Threads: keeps no state; calls on any threads are independent.
#ifndef QXSOAP_ENCODE_BASE64_BLOCKS_H_
#define QXSOAP_ENCODE_BASE64_BLOCKS_H_

#include "qxcom/types.h"

namespace qxsoap {

// Encodes blocks of 24 bytes from `in` as 32 units each at `out` (which has
// room for them), moving both past what it encoded, for as long as a block
// and 4 bytes more lie before `inEnd` (the bytes are read in 16-byte loads).
// Without AVX2 it encodes nothing. The caller encodes the rest.
void EncodeBase64Blocks(const BYTE*& in, const BYTE* inEnd, char16_t*& out);
void EncodeBase64Blocks(const BYTE*& in, const BYTE* inEnd, BYTE*& out);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_BASE64_BLOCKS_H_
