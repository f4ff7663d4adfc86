// Base64 and hex decoding. A first pass counts the units that are not blanks
// (and the '=' units) to size the array exactly; a second pass decodes into
// it, one loop serving both encodings.
#include "decode/binary_text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string_view>

#include "decode/base64_blocks.h"
#include "qxcom/owned.h"

namespace qxsoap {
namespace {

using ValueTable = std::array<uint8_t, 256>;

constexpr uint8_t kPad = 64;  // '=' in base64: past every digit value
constexpr uint8_t kBlank = 0xFE;
constexpr uint8_t kInvalid = 0xFF;
constexpr std::string_view kBlanks = " \t\n\v\f\r";

// The value of each digit unit, kBlank for blanks, kInvalid for the rest.
constexpr ValueTable DigitTable(std::string_view digits) {
  ValueTable table{};
  table.fill(kInvalid);
  for (char blank : kBlanks) table[uint8_t(blank)] = kBlank;
  for (size_t i = 0; i < digits.size(); ++i) table[uint8_t(digits[i])] = uint8_t(i);
  return table;
}

constexpr ValueTable kBase64Values = [] {
  ValueTable table = DigitTable("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
  table['='] = kPad;
  return table;
}();

constexpr ValueTable kHexValues = [] {
  ValueTable table = DigitTable("0123456789ABCDEF");
  for (char lower = 'a'; lower <= 'f'; ++lower)
    table[uint8_t(lower)] = table[uint8_t(lower - 'a' + 'A')];
  return table;
}();

// Units from 0x100 up are invalid: they must not be cut down to a byte.
uint8_t ValueOf(const ValueTable& table, char16_t unit) {
  return unit < table.size() ? table[unit] : kInvalid;
}

bool AllBelow256(char16_t a, char16_t b, char16_t c, char16_t d) {
  return ((a | b | c | d) >> 8) == 0;
}

bool IsBlank(char16_t unit) { return unit == u' ' || (unit >= u'\t' && unit <= u'\r'); }

struct UnitCounts {
  size_t significant = 0;  // units that are not blanks
  size_t pads = 0;         // '=' units
};

// Branch-free so that the compiler vectorises it; 16-bit counters over
// chunks that cannot overflow them keep eight units in each vector step.
UnitCounts CountUnits(std::u16string_view text) {
  constexpr size_t kChunk = UINT16_MAX;
  UnitCounts counts{text.size(), 0};
  for (size_t start = 0; start < text.size(); start += kChunk) {
    uint16_t blanks = 0, pads = 0;
    for (char16_t unit : text.substr(start, kChunk)) {
      blanks += IsBlank(unit);
      pads += unit == u'=';
    }
    counts.significant -= blanks;
    counts.pads += pads;
  }
  return counts;
}

// Reads the values of the next `count` units that are not blanks into
// `values`, moving `at` past them. Returns how many it read: fewer than
// `count` only at the end of the text.
int NextValues(const ValueTable& table, const char16_t*& at, const char16_t* stop, uint8_t* values,
               int count) {
  int read = 0;
  for (; read < count && at != stop; ++at) {
    uint8_t value = ValueOf(table, *at);
    if (value != kBlank) values[read++] = value;
  }
  return read;
}

// Writes the first `count` bytes of a base64 group's 24 bits; padding
// values count as zero bits.
void PutBase64Bits(const uint8_t* v, size_t count, BYTE* out) {
  uint32_t bits =
      uint32_t(v[0]) << 18 | uint32_t(v[1]) << 12 | uint32_t(v[2] & 63) << 6 | uint32_t(v[3] & 63);
  out[0] = BYTE(bits >> 16);
  if (count > 1) out[1] = BYTE(bits >> 8);
  if (count > 2) out[2] = BYTE(bits);
}

// What DecodeInto needs of an encoding: its value table, the values below
// which a unit is a digit, the bytes a block of four digits yields, the
// careful path's group: its size and the bytes it yields (0: invalid), and
// a bulk decoder for long runs of digits where the processor offers one.
struct Base64Encoding {
  static constexpr const ValueTable& kValues = kBase64Values;
  static constexpr uint8_t kDigitLimit = kPad;
  static constexpr size_t kBlockBytes = 3;
  static constexpr int kGroupUnits = 4;

  static void PutBlock(const uint8_t* digits, BYTE* out) { PutBase64Bits(digits, 3, out); }
  static void DecodeBulk(const char16_t*& at, const char16_t* stop, BYTE*& out, const BYTE* end) {
    DecodeBase64Blocks(at, stop, out, end);
  }

  // Padding may not take the first two places, and a digit may not follow it.
  static size_t GroupBytes(const uint8_t* v) {
    if (v[0] >= kPad || v[1] >= kPad || v[2] > kPad || v[3] > kPad) return 0;
    if (v[2] == kPad) return v[3] == kPad ? 1 : 0;
    return v[3] == kPad ? 2 : 3;
  }
  static void PutGroup(const uint8_t* v, size_t bytes, BYTE* out) { PutBase64Bits(v, bytes, out); }
};

struct HexEncoding {
  static constexpr const ValueTable& kValues = kHexValues;
  static constexpr uint8_t kDigitLimit = 16;
  static constexpr size_t kBlockBytes = 2;
  static constexpr int kGroupUnits = 2;

  static void PutBlock(const uint8_t* digits, BYTE* out) {
    out[0] = BYTE(digits[0] << 4 | digits[1]);
    out[1] = BYTE(digits[2] << 4 | digits[3]);
  }
  static size_t GroupBytes(const uint8_t* v) { return v[0] < 16 && v[1] < 16 ? 1 : 0; }
  static void PutGroup(const uint8_t* v, size_t, BYTE* out) { out[0] = BYTE(v[0] << 4 | v[1]); }
  static void DecodeBulk(const char16_t*&, const char16_t*, BYTE*&, const BYTE*) {}
};

// Decodes `text` into exactly the bytes [out, end). The bulk decoder, then
// the fast path take blocks of digits; the first block holding anything
// else (a blank, padding, an invalid unit) and the group it starts go
// through the careful path. A text whose padding does not add up to the
// counted size fails rather than writing past `end`.
template <typename Encoding>
bool DecodeInto(std::u16string_view text, BYTE* out, BYTE* end) {
  const ValueTable& values = Encoding::kValues;
  const char16_t* at = text.data();
  const char16_t* stop = at + text.size();
  for (;;) {
    Encoding::DecodeBulk(at, stop, out, end);
    size_t blocks = std::min(size_t(stop - at) / 4, size_t(end - out) / Encoding::kBlockBytes);
    for (const char16_t* blocksEnd = at + 4 * blocks; at != blocksEnd; at += 4) {
      if (!AllBelow256(at[0], at[1], at[2], at[3])) break;
      const uint8_t digits[4] = {values[at[0]], values[at[1]], values[at[2]], values[at[3]]};
      if ((digits[0] | digits[1] | digits[2] | digits[3]) >= Encoding::kDigitLimit) break;
      Encoding::PutBlock(digits, out);
      out += Encoding::kBlockBytes;
    }
    uint8_t group[Encoding::kGroupUnits];
    int read = NextValues(values, at, stop, group, Encoding::kGroupUnits);
    if (read == 0) return out == end;
    size_t bytes = read == Encoding::kGroupUnits ? Encoding::GroupBytes(group) : 0;
    if (bytes == 0 || size_t(end - out) < bytes) return false;
    Encoding::PutGroup(group, bytes, out);
    out += bytes;
  }
}

// Makes the array of `count` bytes and decodes `text` into it; the array is
// freed again when the text turns out invalid.
template <typename Encoding>
HRESULT DecodeIntoNewArray(std::u16string_view text, size_t count, SAFEARRAY** bytes) {
  if (count > ULONG_MAX) return E_OUTOFMEMORY;
  qxcom::SafeArrayPtr array = qxcom::NewUnfilledByteVector(ULONG(count));
  if (array.get() == nullptr) return E_OUTOFMEMORY;
  BYTE* first = static_cast<BYTE*>(array.get()->pvData);
  if (!DecodeInto<Encoding>(text, first, first + count)) return DISP_E_TYPEMISMATCH;
  *bytes = array.release();
  return S_OK;
}

}  // namespace

HRESULT DecodeBase64Text(std::u16string_view text, SAFEARRAY** bytes) {
  *bytes = nullptr;
  UnitCounts counts = CountUnits(text);
  size_t groups = counts.significant / 4;
  if (counts.significant % 4 != 0 || counts.pads > 2 * groups) return DISP_E_TYPEMISMATCH;
  return DecodeIntoNewArray<Base64Encoding>(text, 3 * groups - counts.pads, bytes);
}

HRESULT DecodeHexText(std::u16string_view text, SAFEARRAY** bytes) {
  *bytes = nullptr;
  UnitCounts counts = CountUnits(text);
  if (counts.significant % 2 != 0) return DISP_E_TYPEMISMATCH;
  return DecodeIntoNewArray<HexEncoding>(text, counts.significant / 2, bytes);
}

}  // namespace qxsoap
