// The registry store: its text format, what it does with a corrupt file, and
// its safety under concurrent writers.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
    {"no format line", "[HKEY_CLASSES_ROOT\\A]\n"},
    {"value before any key", "qxcom registry 1\n@=sz:\"x\"\n"},
    {"unknown root", "qxcom registry 1\n[HKEY_USERS\\A]\n"},
    {"unterminated text", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"x\n"},
    {"ill-formed UTF-8", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"\xC3\x28\"\n"},
    {"value written twice", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n\"v\"=sz:\"x\"\n\"V\"=sz:\"y\"\n"},
    {"key 513 levels deep", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\" +
                                std::string(qxcom::ToUtf8(Deep(513))) + "]\n"},
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

TEST(RegistryFormat, ReadsItsOwnFormAndRefusesCutLines) {
  const std::string store =
      "qxcom registry 1\n"
      "[HKEY_CLASSES_ROOT\\CLSID]\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{A}]\n"
      "@=sz:\"caf\xC3\xA9 \\\"q\\\" \\uD800\"\n"
      "\"Port\"=dword:00001f90\n"
      "\"Blob\"=hex(3):01,ff\n"
      "[HKEY_LOCAL_MACHINE\\Software]\n";
  qxcom::RegistryTree whole;
  ASSERT_TRUE(qxcom::ParseRegistry(store, &whole));
  EXPECT_EQ(qxcom::FormatRegistry(whole), store) << "the writer's own form reads back equal";
  for (const char* cut : {"CLASS", "caf", "dword:0", "01,"}) {
    SCOPED_TRACE(cut);
    qxcom::RegistryTree part;
    size_t length = store.find(cut) + std::string(cut).size();
    EXPECT_FALSE(qxcom::ParseRegistry(store.substr(0, length), &part)) << "cut inside a line";
  }
}

// Runs `work` in a forked child, which exits with 0 when it returns true.
template <typename Work>
pid_t Spawn(Work work) {
  pid_t child = fork();
  if (child == 0) _exit(work() ? 0 : 1);
  EXPECT_GT(child, 0);
  return child;
}

void ExpectSucceeded(pid_t child) {
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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
      return !::testing::Test::HasFailure();
    }));
  }
  for (pid_t child : children) ExpectSucceeded(child);
  ExpectEveryValue(2 * kWriters);
}

}  // namespace
