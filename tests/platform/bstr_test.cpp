// BSTR allocation: the byte-length prefix, embedded nulls, odd byte lengths,
// null strings and the length guards.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/values.h"

namespace {

using platform_test::Chars;

// What a BSTR holds: its prefix, then its bytes up to the end of the first
// whole wide null after them (after a half character, that is three bytes).
std::string Raw(BSTR text) {
  UINT prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof prefix, sizeof prefix);
  size_t shown = prefix + 2 + (prefix & 1);
  return std::to_string(prefix) + ":" + std::string(reinterpret_cast<const char*>(text), shown);
}

TEST(Bstr, PrefixHoldsTheByteLengthAndATerminatorFollows) {
  struct Row { const char* why; qxcom::Bstr text; std::string raw; };
  const OLECHAR withNulls[] = {u'a', 0, u'b', 0};
  const Row rows[] = {
      {"characters", qxcom::Bstr(SysAllocString(u"hi")), std::string("4:h\0i\0\0\0", 8)},
      {"embedded nulls are kept", qxcom::Bstr(SysAllocStringLen(withNulls, 4)),
       std::string("8:a\0\0\0b\0\0\0\0\0", 12)},
      {"a null source gives zeroed characters", qxcom::Bstr(SysAllocStringLen(nullptr, 2)),
       std::string("4:\0\0\0\0\0\0", 8)},
      {"an odd byte length keeps the half character", qxcom::Bstr(SysAllocStringByteLen("abc", 3)),
       std::string("3:abc\0\0\0", 8)},
      {"an empty string is allocated", qxcom::Bstr(SysAllocString(u"")), std::string("0:\0\0", 4)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    ASSERT_NE(row.text.get(), nullptr);
    EXPECT_EQ(Raw(row.text.get()), row.raw);
    EXPECT_EQ(SysStringByteLen(row.text.get()), std::stoul(row.raw));
  }
  EXPECT_EQ(SysStringLen(rows[3].text.get()), 1u) << "the half character is not counted";
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
}

TEST(Bstr, HugeLengthsAreRefusedNotWrapped) {
  EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr) << "characters times two wraps";
  EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFFEu / 2), nullptr) << "header and null would wrap";
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFF8u), nullptr) << "header would wrap";
  BSTR text = SysAllocString(u"kept");
  EXPECT_EQ(SysReAllocStringLen(&text, nullptr, 0xFFFFFFFFu), FALSE);
  EXPECT_EQ(Chars(text), u"kept") << "a failed reallocation leaves the target alone";
  SysFreeString(text);
}

TEST(Bstr, ReAllocReplacesAndAcceptsItsOwnCharacters) {
  BSTR text = SysAllocString(u"hello world");
  ASSERT_EQ(SysReAllocString(&text, text + 6), TRUE) << "source inside the old string";
  EXPECT_EQ(Chars(text), u"world");
  ASSERT_EQ(SysReAllocStringLen(&text, nullptr, 8), TRUE);
  EXPECT_EQ(Chars(text), std::u16string(u"world\0\0\0", 8)) << "null keeps old characters";
  ASSERT_EQ(SysReAllocStringLen(&text, nullptr, 2), TRUE);
  EXPECT_EQ(Chars(text), u"wo");
  SysFreeString(text);
}

TEST(VarBstrCat, JoinsWithNullsAsEmptyAndKeepsOddBytes) {
  qxcom::Bstr left(SysAllocString(u"ab"));
  qxcom::Bstr odd(SysAllocStringByteLen("xyz", 3));
  struct Row { const char* why; BSTR left, right; std::string bytes; };
  const Row kRows[] = {
      {"both present", left.get(), left.get(), std::string("a\0b\0a\0b\0", 8)},
      {"both null gives an allocated empty string", nullptr, nullptr, ""},
      {"odd byte lengths join byte for byte", odd.get(), odd.get(), "xyzxyz"},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    BSTR joined = nullptr;
    ASSERT_EQ(VarBstrCat(row.left, row.right, &joined), S_OK);
    ASSERT_NE(joined, nullptr);
    qxcom::Bstr owner(joined);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(joined), SysStringByteLen(joined)), row.bytes);
  }
}

}  // namespace
