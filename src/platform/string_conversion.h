// UTF-8 and UTF-16 codecs shared by the text conversion calls and the
// registry file.
#ifndef QXSOAP_PLATFORM_STRING_CONVERSION_H_
#define QXSOAP_PLATFORM_STRING_CONVERSION_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace qxcom {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends one code point (at most U+10FFFF, not a surrogate) as UTF-8.
void AppendUtf8(char32_t codePoint, std::string& out);

// Appends `text` as UTF-8; each lone surrogate becomes U+FFFD. Returns the
// number of lone surrogates met.
size_t AppendUtf16AsUtf8(std::u16string_view text, std::string& out);

// Appends UTF-8 `text` as UTF-16; each maximal ill-formed subsequence
// becomes one U+FFFD. Returns the number of ill-formed subsequences met.
size_t AppendUtf8AsUtf16(std::string_view text, std::u16string& out);

// Convenience forms that return the converted text.
std::string ToUtf8(std::u16string_view text);
std::u16string ToUtf16(std::string_view text);

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_STRING_CONVERSION_H_
