// AVX2 base64 decoding. Each block's 32 units are narrowed to bytes, checked
// against the alphabet by two nibble lookups, turned into their 6-bit values
// by one offset lookup and packed to 24 bytes by two multiply-adds and a
// byte shuffle.
#include "decode/base64_blocks.h"

#include <immintrin.h>

#include <array>
#include <cstdint>

namespace qxsoap {
namespace {

constexpr long kBlockUnits = 32;
constexpr long kBlockBytes = 24;
constexpr long kStoreSlack = 4;  // each half's 12 bytes go out in a 16-byte write

using LaneTable = std::array<int8_t, 16>;

// A byte is a digit when the class of its high nibble is not among the
// classes its low nibble is invalid in. High-nibble classes: 0x01 for 0x2_
// ('+', '/'), 0x02 for 0x3_ (digits), 0x04 for 0x4_ and 0x6_ (letters from
// 1), 0x08 for 0x5_ and 0x7_ (letters to 0xA), 0x10 for the rest, invalid
// with every low nibble.
constexpr LaneTable kLowNibbleInvalidIn = {0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                                           0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A};
constexpr LaneTable kHighNibbleClass = {0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08,
                                        0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10};
// What a digit adds to become its value, by its high nibble, one place
// lower for '/' (which shares 0x2_ with '+').
constexpr LaneTable kValueOffset = {0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0};
// Each 32-bit group holds its 24 bits low byte first; the bytes go out
// high byte first, four groups to a lane.
constexpr LaneTable kGroupBytes = {2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1};

// The table in both 128-bit lanes, as byte shuffles look up per lane.
__attribute__((target("avx2"))) __m256i InBothLanes(const LaneTable& table) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

__attribute__((target("avx2"))) void DecodeWithAvx2(const char16_t*& in, const char16_t* inEnd, BYTE*& out,
                                                    const BYTE* outEnd) {
  const __m256i lowNibbleInvalidIn = InBothLanes(kLowNibbleInvalidIn);
  const __m256i highNibbleClass = InBothLanes(kHighNibbleClass);
  const __m256i valueOffset = InBothLanes(kValueOffset);
  const __m256i groupBytes = InBothLanes(kGroupBytes);
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  while (inEnd - in >= kBlockUnits && outEnd - out >= kBlockBytes + kStoreSlack) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 16));
    // Units past 0xFF saturate to 0x00 or 0xFF, neither of them a digit;
    // the permute undoes the lane interleaving of the pack.
    const __m256i units = _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi32(units, 4), nibble);
    const __m256i low = _mm256_and_si256(units, nibble);
    if (!_mm256_testz_si256(_mm256_shuffle_epi8(lowNibbleInvalidIn, low),
                            _mm256_shuffle_epi8(highNibbleClass, high))) {
      return;
    }
    const __m256i slash = _mm256_cmpeq_epi8(units, _mm256_set1_epi8('/'));
    const __m256i values = _mm256_add_epi8(units, _mm256_shuffle_epi8(valueOffset, _mm256_add_epi8(high, slash)));
    // Four 6-bit values: two 12-bit pairs, then one 24-bit group.
    const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
    const __m256i groups = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000));
    const __m256i bytes = _mm256_shuffle_epi8(groups, groupBytes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kBlockBytes / 2), _mm256_extracti128_si256(bytes, 1));
    in += kBlockUnits;
    out += kBlockBytes;
  }
}

}  // namespace

void DecodeBase64Blocks(const char16_t*& in, const char16_t* inEnd, BYTE*& out, const BYTE* outEnd) {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  if (hasAvx2) DecodeWithAvx2(in, inEnd, out, outEnd);
}

}  // namespace qxsoap
