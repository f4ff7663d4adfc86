// encode/ascii_text.h: ASCII text from the standard formatters (to_chars)
// appended as UTF-16 units.
//
// Threads: keeps no state.
#ifndef QXSOAP_ENCODE_ASCII_TEXT_H_
#define QXSOAP_ENCODE_ASCII_TEXT_H_

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace qxsoap {

// Appends `ascii` unit for unit. Grown in place: appending a range of chars
// to a UTF-16 string would first build a temporary string of them.
inline void AppendAscii(std::string_view ascii, std::u16string& text) {
  const size_t old = text.size();
  text.resize(old + ascii.size());
  std::copy(ascii.begin(), ascii.end(), text.begin() + std::ptrdiff_t(old));
}

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_ASCII_TEXT_H_
