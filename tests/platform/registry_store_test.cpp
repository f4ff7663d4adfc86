// The registry store: its text format, what it does with a corrupt file, and
// its safety under concurrent writers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry_fixture.h"
#include "platform/registry_format.h"
#include "platform/string_conversion.h"
#include "qxcom/registry.h"

namespace {

using namespace registry_test;

class RegistryStore : public TemporaryRegistry {};

struct CorruptRow { const char* why; std::string text; };
const CorruptRow kCorruptRows[] = {
    {"no format line", "[HKEY_CLASSES_ROOT\\A]\nend\n"},
    {"value before any key", "qxcom registry 2\n@=sz:\"x\"\nend\n"},
    {"unknown root", "qxcom registry 2\n[HKEY_USERS\\A]\nend\n"},
    {"unterminated text", "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"x\nend\n"},
    {"ill-formed UTF-8", "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"\xC3\x28\"\nend\n"},
    {"value written twice",
     "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n\"v\"=sz:\"x\"\n\"V\"=sz:\"y\"\nend\n"},
    {"key 513 levels deep", "qxcom registry 2\n[HKEY_CLASSES_ROOT\\" +
                                std::string(qxcom::ToUtf8(Deep(513))) + "]\nend\n"},
    {"cut at a line boundary: the end line is lost",
     "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"x\"\n"},
    {"a key after the end line", "qxcom registry 2\nend\n[HKEY_CLASSES_ROOT\\A]\n"},
    {"end line in a version 1 file", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\nend\n"},
};

TEST_F(RegistryStore, CorruptStoreIsBadDbAndLeftAlone) {
  for (const CorruptRow& row : kCorruptRows) {
    SCOPED_TRACE(row.why);
    WriteStore(row.text);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key), ERROR_BADDB);
    EXPECT_EQ(SetString(HKEY_CLASSES_ROOT, u"v", u"x"), ERROR_BADDB);
    EXPECT_EQ(StoreText(), row.text) << "a write must not replace what it cannot read";
  }
}

TEST(RegistryFormat, ReadsItsOwnFormAndRefusesEveryCut) {
  const std::string store =
      "qxcom registry 2\n"
      "[HKEY_CLASSES_ROOT\\CLSID]\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{A}]\n"
      "@=sz:\"caf\xC3\xA9 \\\"q\\\" \\uD800\"\n"
      "\"Port\"=dword:00001f90\n"
      "\"Blob\"=hex(3):01,ff\n"
      "[HKEY_LOCAL_MACHINE\\Software]\n"
      "end\n";
  qxcom::RegistryTree whole;
  ASSERT_TRUE(qxcom::ParseRegistry(store, &whole));
  EXPECT_EQ(qxcom::FormatRegistry(whole), store) << "the writer's own form reads back equal";
  for (size_t length = 1; length + 1 < store.size(); ++length) {
    SCOPED_TRACE(store.substr(0, length));
    qxcom::RegistryTree part;
    EXPECT_FALSE(qxcom::ParseRegistry(store.substr(0, length), &part))
        << "a cut anywhere, at a line boundary too, is not a whole store";
  }
}

TEST_F(RegistryStore, Version1StoreIsReadAndRewrittenWithItsEndLine) {
  WriteStore("qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"old\"\n");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, nullptr), u"old");
  ASSERT_EQ(SetString(key, u"v", u"new"), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(StoreText(),
            "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"old\"\n\"v\"=sz:\"new\"\nend\n");
}

// Enough writers and writes to interleave their read-modify-write cycles:
// without the store's lock some values go missing.
constexpr int kWriters = 3;
constexpr int kValuesPerWriter = 6;

std::u16string ValueName(int writer, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "w%d-%d", writer, i);
  return std::u16string(name, name + std::strlen(name));
}

void WriteValues(int writer) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"Shared");
  for (int i = 0; i < kValuesPerWriter; ++i) {
    ASSERT_EQ(SetString(key, ValueName(writer, i).c_str(), ValueName(writer, i)), ERROR_SUCCESS);
  }
  RegCloseKey(key);
}

void ExpectEveryValue(int writers) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"Shared", &key), ERROR_SUCCESS);
  for (int writer = 0; writer < writers; ++writer) {
    for (int i = 0; i < kValuesPerWriter; ++i) {
      EXPECT_EQ(GetString(key, ValueName(writer, i).c_str()), ValueName(writer, i));
    }
  }
  RegCloseKey(key);
}

TEST_F(RegistryStore, ConcurrentWritersLoseNoUpdate) {
  std::vector<std::thread> threads;
  for (int writer = 0; writer < kWriters; ++writer) threads.emplace_back(WriteValues, writer);
  for (std::thread& thread : threads) thread.join();
  std::vector<pid_t> children;
  for (int writer = kWriters; writer < 2 * kWriters; ++writer) {
    children.push_back(Spawn([writer] {
      WriteValues(writer);
      return ::testing::Test::HasFailure() ? 1 : 0;
    }));
  }
  for (pid_t child : children) EXPECT_EQ(ExitStatus(child), 0);
  ExpectEveryValue(2 * kWriters);
}

}  // namespace
