// Wide character classes with their Unicode meaning, whatever the process
// locale. One byte of class bits per BMP unit, built at compile time from
// the category ranges, so a test is one load and a mask (64 KiB of
// read-only data, shared by every process that maps the library).
#include "qxcom/wctype.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/wide_ctype_ranges.h"

namespace qxcom {
namespace {

enum WideClass : uint8_t {
  kLetter = 1 << 0,
  kDecimalDigit = 1 << 1,  // of any script; iswdigit itself is ASCII only
  kWhiteSpace = 1 << 2,
  kControl = 1 << 3,
};

template <std::size_t N>
constexpr void Mark(std::array<uint8_t, 0x10000>& table, const CodeRange (&ranges)[N],
                    uint8_t classes) {
  for (const CodeRange& range : ranges) {
    for (uint32_t unit = range.first; unit <= range.last; ++unit) table[unit] |= classes;
  }
}

constexpr std::array<uint8_t, 0x10000> kClassTable = [] {
  std::array<uint8_t, 0x10000> table{};
  Mark(table, kLetterRanges, kLetter);
  Mark(table, kDecimalDigitRanges, kDecimalDigit);
  Mark(table, kSeparatorRanges, kWhiteSpace);
  Mark(table, kControlRanges, kControl);
  for (char16_t unit : std::u16string_view(u"\t\n\v\f\r")) table[unit] |= kWhiteSpace;
  table[0x2028] |= kControl;  // line and paragraph separators count as controls
  table[0x2029] |= kControl;
  return table;
}();

int Is(char16_t unit, uint8_t classes) { return (kClassTable[unit] & classes) != 0; }

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace
}  // namespace qxcom

extern "C" {

int qx_iswalpha(char16_t c) { return qxcom::Is(c, qxcom::kLetter); }

int qx_iswdigit(char16_t c) { return qxcom::IsAsciiDigit(c); }

int qx_iswalnum(char16_t c) { return qxcom::Is(c, qxcom::kLetter | qxcom::kDecimalDigit); }

int qx_iswspace(char16_t c) { return qxcom::Is(c, qxcom::kWhiteSpace); }

int qx_iswxdigit(char16_t c) {
  return qxcom::IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int qx_iswcntrl(char16_t c) { return qxcom::Is(c, qxcom::kControl); }

}  // extern "C"
