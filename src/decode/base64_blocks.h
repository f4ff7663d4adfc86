// decode/base64_blocks.h: the bulk of a long base64 text decoded 32 units
// at a time with AVX2, on processors that have it.
//
// Threads: keeps no state; calls on any threads are independent.
#ifndef QXSOAP_DECODE_BASE64_BLOCKS_H_
#define QXSOAP_DECODE_BASE64_BLOCKS_H_

#include "qxcom/types.h"

namespace qxsoap {

// Decodes blocks of 32 units from `in` into 24 bytes each at `out`, moving
// both past what it decoded, for as long as a whole block is digits of the
// standard alphabet (no blank, no '=', nothing invalid) and its bytes plus
// 4 more fit before `outEnd` (the bytes are stored in 16-byte writes).
// Without AVX2 it decodes nothing. The caller decodes the rest, starting
// with the block that stopped it.
void DecodeBase64Blocks(const char16_t*& in, const char16_t* inEnd, BYTE*& out, const BYTE* outEnd);

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_BASE64_BLOCKS_H_
