// Character classes of the XML reader: one table load and a mask for ASCII,
// an out-of-line call into the wide classification functions for the rest.
#ifndef QXSOAP_XML_CHAR_CLASSES_H_
#define QXSOAP_XML_CHAR_CLASSES_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace qxsoap {

enum CharClass : uint8_t {
  kNameStart = 1 << 0,  // letters, '_' and ':'
  kNameChar = 1 << 1,   // letters, digits, '_', ':', '-' and '.'
  kSpace = 1 << 2,      // what iswspace calls a space
  kCdataStop = 1 << 3,  // ']' and control characters other than TAB, LF and CR
};

inline constexpr std::array<uint8_t, 128> kCharClassTable = [] {
  std::array<uint8_t, 128> table{};
  constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (char c : kLetters) table[c] |= kNameStart | kNameChar;
  for (char c : std::string_view("0123456789-.")) table[c] |= kNameChar;
  for (char c : std::string_view("_:")) table[c] |= kNameStart | kNameChar;
  for (char c : std::string_view("\t\n\v\f\r ")) table[c] |= kSpace;
  for (int c = 0; c < 0x20; ++c) {
    if (c != '\t' && c != '\n' && c != '\r') table[c] |= kCdataStop;
  }
  table[0x7F] |= kCdataStop;
  table[']'] |= kCdataStop;
  return table;
}();

// Classes of a unit from U+0080 up (letters, spaces, controls of any script).
uint8_t WideCharClass(char16_t unit);

inline bool IsInClass(char16_t unit, uint8_t classes) {
  return ((unit < 0x80 ? kCharClassTable[unit] : WideCharClass(unit)) & classes) != 0;
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_CHAR_CLASSES_H_
