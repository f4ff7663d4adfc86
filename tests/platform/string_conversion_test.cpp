// Text conversion with the Windows size protocol; the handler's event-log
// report converts fault messages with it.
#include <gtest/gtest.h>

#include <string>

#include "qxcom/stringapi.h"

namespace {

// Converts with the two-call protocol a Windows client uses: size, then text.
std::string Narrow(const std::u16string& text) {
  int length = int(text.size());
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size), '\0');
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr),
            size);
  return out;
}

std::u16string Widen(const std::string& text) {
  int length = int(text.size());
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::u16string out(size_t(size), u'\0');
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), size), size);
  return out;
}

struct WideRow { const char* why; std::u16string wide; std::string narrow; };
const WideRow kWideRows[] = {
    {"two-byte form", u"caf\u00E9", "caf\xC3\xA9"},
    {"surrogate pair becomes one four-byte form", u"\U0001F600", "\xF0\x9F\x98\x80"},
    {"embedded null is kept", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    {"lone high surrogate becomes U+FFFD", u"a\xD800z", "a\xEF\xBF\xBDz"},
};

struct NarrowRow { const char* why; std::string narrow; std::u16string wide; };
const NarrowRow kNarrowRows[] = {
    {"well-formed text", "caf\xC3\xA9 \xF0\x9F\x98\x80", u"caf\u00E9 \U0001F600"},
    {"stray continuation byte", "a\x80z", u"a\uFFFDz"},
    {"truncated sequence is one replacement", "\xE2\x82z", u"\uFFFDz"},
    {"encoded surrogate is refused", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
};

TEST(StringConversion, ConvertsBothWaysReplacingWhatIsIllFormed) {
  for (const WideRow& row : kWideRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Narrow(row.wide), row.narrow);
  }
  for (const NarrowRow& row : kNarrowRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Widen(row.narrow), row.wide);
  }
}

TEST(StringConversion, ShortBufferAndStrictReadingFailWithoutWriting) {
  char out[4] = {'#', '#', '#', '#'};
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC\u20AC", 2, out, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(out[0], '#');
  char16_t wide[4] = {u'#'};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\x80", 2, wide, 4), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(wide[0], u'#');
}

}  // namespace
