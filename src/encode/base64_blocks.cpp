// AVX2 base64 encoding. Each block's 24 bytes are spread to eight 32-bit
// groups of three, split into four 6-bit digit values by two multiplies,
// turned into ASCII by one offset lookup, and stored as they are or widened
// to 16-bit units.
#include "encode/base64_blocks.h"

#include <immintrin.h>

#include <array>
#include <cstdint>

namespace qxsoap {
namespace {

constexpr long kBlockBytes = 24;
constexpr long kBlockUnits = 32;
constexpr long kLoadSlack = 4;  // each half's 12 bytes come in a 16-byte load

using LaneTable = std::array<int8_t, 16>;

// Three bytes b0 b1 b2 become the 32-bit group b1 b0 b2 b1 (low byte first),
// which holds the four digit values at fixed bit places of its two 16-bit
// halves.
constexpr LaneTable kGroupSpread = {1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10};
// What a digit value adds to become its ASCII unit, by its range: index 0
// for 26-51 (lower case), 1-10 for 52-61 (digits), 11 for 62 ('+'), 12 for
// 63 ('/'), 13 for 0-25 (upper case).
constexpr LaneTable kAsciiOffset = {'a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                    '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62,
                                    '/' - 63, 'A',      0,        0};

// The table in both 128-bit lanes, as byte shuffles look up per lane.
__attribute__((target("avx2"))) __m256i InBothLanes(const LaneTable& table) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

__attribute__((target("avx2"))) void Store(__m256i ascii, BYTE* out) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), ascii);
}

__attribute__((target("avx2"))) void Store(__m256i ascii, char16_t* out) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_cvtepu8_epi16(_mm256_castsi256_si128(ascii)));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + kBlockUnits / 2),
                      _mm256_cvtepu8_epi16(_mm256_extracti128_si256(ascii, 1)));
}

template <typename Unit>
__attribute__((target("avx2"))) void EncodeWithAvx2(const BYTE*& in, const BYTE* inEnd, Unit*& out) {
  const __m256i groupSpread = InBothLanes(kGroupSpread);
  const __m256i asciiOffset = InBothLanes(kAsciiOffset);
  while (inEnd - in >= kBlockBytes + kLoadSlack) {
    const __m128i firstHalf = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i secondHalf = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + kBlockBytes / 2));
    const __m256i groups =
        _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(firstHalf), secondHalf, 1), groupSpread);
    // Digits 1 and 3 move down to the low bits of bytes 0 and 2 (a high
    // multiply), digits 2 and 4 up to bytes 1 and 3 (a low multiply).
    const __m256i firstAndThird = _mm256_mulhi_epu16(_mm256_and_si256(groups, _mm256_set1_epi32(0x0FC0FC00)),
                                                     _mm256_set1_epi32(0x04000040));
    const __m256i secondAndFourth = _mm256_mullo_epi16(_mm256_and_si256(groups, _mm256_set1_epi32(0x003F03F0)),
                                                       _mm256_set1_epi32(0x01000010));
    const __m256i values = _mm256_or_si256(firstAndThird, secondAndFourth);
    __m256i range = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
    const __m256i upperCase = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), values);
    range = _mm256_or_si256(range, _mm256_and_si256(upperCase, _mm256_set1_epi8(13)));
    Store(_mm256_add_epi8(values, _mm256_shuffle_epi8(asciiOffset, range)), out);
    in += kBlockBytes;
    out += kBlockUnits;
  }
}

bool HasAvx2() {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  return hasAvx2;
}

}  // namespace

void EncodeBase64Blocks(const BYTE*& in, const BYTE* inEnd, char16_t*& out) {
  if (HasAvx2()) EncodeWithAvx2(in, inEnd, out);
}

void EncodeBase64Blocks(const BYTE*& in, const BYTE* inEnd, BYTE*& out) {
  if (HasAvx2()) EncodeWithAvx2(in, inEnd, out);
}

}  // namespace qxsoap
