// BSTR allocation: the byte-length prefix, embedded nulls, odd byte lengths,
// null strings and the length guards.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qxcom.h"

namespace {

std::u16string Chars(BSTR text) { return std::u16string(text, SysStringLen(text)); }

UINT StoredPrefix(BSTR text) {
  UINT prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof prefix, sizeof prefix);
  return prefix;
}

TEST(Bstr, PrefixHoldsByteLengthAndStringIsTerminated) {
  qxcom::Bstr text(SysAllocString(u"hello"));
  ASSERT_NE(text.get(), nullptr);
  EXPECT_EQ(StoredPrefix(text.get()), 10u);
  EXPECT_EQ(SysStringLen(text.get()), 5u);
  EXPECT_EQ(SysStringByteLen(text.get()), 10u);
  EXPECT_EQ(text.get()[5], u'\0');
  EXPECT_EQ(Chars(text.get()), u"hello");
}

TEST(Bstr, EmbeddedNullsAreKept) {
  const OLECHAR source[] = {u'a', 0, u'b', 0};
  qxcom::Bstr text(SysAllocStringLen(source, 4));
  ASSERT_NE(text.get(), nullptr);
  EXPECT_EQ(SysStringLen(text.get()), 4u);
  EXPECT_EQ(Chars(text.get()), std::u16string(source, 4));
  EXPECT_EQ(text.get()[4], u'\0');
}

TEST(Bstr, NullSourceGivesZeroedCharactersOfTheAskedLength) {
  qxcom::Bstr text(SysAllocStringLen(nullptr, 3));
  ASSERT_NE(text.get(), nullptr);
  EXPECT_EQ(Chars(text.get()), std::u16string(3, u'\0'));
}

TEST(Bstr, NullIsTheEmptyString) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  qxcom::Bstr empty(SysAllocString(u""));
  ASSERT_NE(empty.get(), nullptr) << "an empty string is allocated, unlike a null one";
  EXPECT_EQ(SysStringLen(empty.get()), 0u);
}

TEST(Bstr, OddByteLengthKeepsTheHalfCharacterAndAWholeZeroAfterIt) {
  qxcom::Bstr text(SysAllocStringByteLen("abc", 3));
  ASSERT_NE(text.get(), nullptr);
  EXPECT_EQ(SysStringByteLen(text.get()), 3u);
  EXPECT_EQ(SysStringLen(text.get()), 1u);
  const char* bytes = reinterpret_cast<const char*>(text.get());
  EXPECT_EQ(std::string(bytes, 3), "abc");
  EXPECT_EQ(bytes[3], 0);
  EXPECT_EQ(text.get()[2], u'\0') << "a wide reader stops after the half character";
}

TEST(Bstr, ByteLenWithNullSourceIsZeroed) {
  qxcom::Bstr text(SysAllocStringByteLen(nullptr, 5));
  ASSERT_NE(text.get(), nullptr);
  EXPECT_EQ(SysStringByteLen(text.get()), 5u);
  EXPECT_EQ(std::memcmp(text.get(), "\0\0\0\0\0\0\0", 7), 0);
}

TEST(Bstr, HugeLengthsAreRefusedNotWrapped) {
  struct Row {
    const char* why;
    UINT length;
  };
  const Row kCharRows[] = {
      {"characters times two wraps 32 bits", 0x80000000u},
      {"largest UINT", 0xFFFFFFFFu},
      {"header and terminator would wrap", 0xFFFFFFFEu / 2},
  };
  for (const Row& row : kCharRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(SysAllocStringLen(nullptr, row.length), nullptr);
  }
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFF8u), nullptr) << "header would wrap";
}

TEST(Bstr, ReAllocReplacesAndAcceptsItsOwnCharacters) {
  BSTR text = SysAllocString(u"hello world");
  ASSERT_EQ(SysReAllocString(&text, text + 6), TRUE) << "source inside the old string";
  EXPECT_EQ(Chars(text), u"world");
  ASSERT_EQ(SysReAllocStringLen(&text, nullptr, 8), TRUE);
  EXPECT_EQ(Chars(text), std::u16string(u"world\0\0\0", 8)) << "null keeps old characters";
  ASSERT_EQ(SysReAllocStringLen(&text, nullptr, 2), TRUE);
  EXPECT_EQ(Chars(text), u"wo");
  ASSERT_EQ(SysReAllocString(&text, nullptr), TRUE);
  EXPECT_EQ(SysStringLen(text), 0u);
  EXPECT_EQ(SysReAllocString(nullptr, u"x"), FALSE);
  SysFreeString(text);
}

TEST(Bstr, FailedReAllocLeavesTheTargetAlone) {
  BSTR text = SysAllocString(u"kept");
  BSTR before = text;
  EXPECT_EQ(SysReAllocStringLen(&text, nullptr, 0xFFFFFFFFu), FALSE);
  EXPECT_EQ(text, before);
  EXPECT_EQ(Chars(text), u"kept");
  SysFreeString(text);
}

TEST(VarBstrCat, JoinsWithNullsAsEmptyAndKeepsOddBytes) {
  qxcom::Bstr left(SysAllocString(u"ab"));
  qxcom::Bstr right(SysAllocString(u"cd"));
  qxcom::Bstr odd(SysAllocStringByteLen("xyz", 3));
  struct Row {
    const char* why;
    BSTR left, right;
    std::string bytes;
  };
  const Row kRows[] = {
      {"both present", left.get(), right.get(), std::string("a\0b\0c\0d\0", 8)},
      {"null left", nullptr, right.get(), std::string("c\0d\0", 4)},
      {"null right", left.get(), nullptr, std::string("a\0b\0", 4)},
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
  EXPECT_EQ(VarBstrCat(left.get(), right.get(), nullptr), E_INVALIDARG);
}

}  // namespace
