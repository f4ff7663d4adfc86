// Equality of 16-bit texts compared as bytes at once: the standard
// comparison of char16_t text goes unit by unit, which tells long namespace
// URIs of one length apart slowly.
#ifndef QXSOAP_XML_SAME_TEXT_H_
#define QXSOAP_XML_SAME_TEXT_H_

#include <cstring>
#include <string_view>

namespace qxsoap {

// Empty texts are equal without a call: an empty view may hold a null
// pointer, which memcmp must not be given, and which costs the vector
// compare a slow masked load besides.
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || a.data() == b.data() ||
          std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_SAME_TEXT_H_
