// The registry: key/value semantics, the store file, transactions, the store path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry_file.h"
#include "platform/registry_fixture.h"
#include "platform/registry_format.h"
#include "qxcom/registry.h"

namespace {

using namespace registry_test;
using Names = std::vector<std::u16string>;
namespace fs = std::filesystem;

// Reads a REG_SZ with the size-then-data protocol; empty when it fails.
std::u16string GetString(HKEY key, const char16_t* name) {
  DWORD type = 0, size = 0;
  LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  std::u16string text(size / 2, u'\0');
  if (result == ERROR_SUCCESS) {
    result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
    EXPECT_EQ(type, DWORD(REG_SZ));
  }
  if (result != ERROR_SUCCESS) return {};
  if (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

// The names RegEnumValueW (with `values`) or RegEnumKeyExW lists, in order.
Names EnumNames(HKEY key, bool values) {
  Names names;
  char16_t name[256];
  for (DWORD length = 256;; length = 256) {
    DWORD index = DWORD(names.size());
    LONG result = values ? RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                         : RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return names;
    names.emplace_back(name, length);
  }
}

// A key path of `levels` one-letter names.
std::string Deep(int levels) {
  std::string path = "d";
  for (int i = 1; i < levels; ++i) path += "\\d";
  return path;
}

// Runs `work` in a forked child, which exits with what it returns. An alarm
// ends a child that hangs, so that a store which blocks its reader fails
// the test instead of stopping it.
pid_t Spawn(const std::function<int()>& work) {
  pid_t child = fork();
  if (child == 0) {
    alarm(60);
    _exit(work());
  }
  return child;
}

// The exit status of `child`, or -1 when it did not exit (a signal).
int ExitStatus(pid_t child) {
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, 0), child);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

constexpr char kValidStore[] = "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\nend\n";

class Registry : public TemporaryRegistry {};

TEST_F(Registry, MissingStoreIsAnEmptyRegistryUntilAPrivateWrite) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"CLSID", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  EXPECT_FALSE(fs::exists(store_)) << "reading creates nothing";

  key = Create(HKEY_CLASSES_ROOT, u"CLSID\\{A}\\InprocServer32");
  ASSERT_EQ(SetString(key, nullptr, u"/usr/lib/libqx.so"), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, u""), u"/usr/lib/libqx.so") << "empty name is the default value";
  RegCloseKey(key);
  EXPECT_EQ(StoreText().rfind("qxcom registry 2\n", 0), 0u);
  EXPECT_EQ(ModeOf(store_), 0600u);
  EXPECT_EQ(ModeOf(directory_ + "/nested"), 0700u) << "the directory made for the store";
}

TEST_F(Registry, NamesMatchInAnyCaseAndKeepTheirSpelling) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"qxsoapsvc.QxSoapMsg2");
  ASSERT_EQ(SetString(key, u"CurVer", u"v1"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, u"CURVER", u"v2"), ERROR_SUCCESS) << "replaces, not adds";
  RegCloseKey(key);
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"QXSOAPSVC.qxsoapmsg2", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, u"curver"), u"v2");
  EXPECT_EQ(EnumNames(key, true), Names{u"CurVer"}) << "the first spelling is kept";
  RegCloseKey(key);
  EXPECT_EQ(EnumNames(HKEY_CLASSES_ROOT, false), Names{u"qxsoapsvc.QxSoapMsg2"});
  RegCloseKey(Create(HKEY_CLASSES_ROOT, u"\u00C9t\u00E9"));
  EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"\u00E9T\u00C9", &key), ERROR_SUCCESS)
      << "letters beyond ASCII fold too";
  RegCloseKey(key);
}

TEST_F(Registry, EnumerationOrderAndTheSizeProtocols) {
  for (const char16_t* name : {u"beta", u"Alpha", u"gamma-long-name"}) {
    RegCloseKey(Create(HKEY_CLASSES_ROOT, name));
  }
  EXPECT_EQ(EnumNames(HKEY_CLASSES_ROOT, false), (Names{u"Alpha", u"beta", u"gamma-long-name"}));

  HKEY key = Create(HKEY_CURRENT_USER, u"Software\\qx");
  ASSERT_EQ(SetString(key, u"Name", u"abcdef"), ERROR_SUCCESS);
  BYTE data[14];
  DWORD size = 4;
  EXPECT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 14u) << "the size needed comes back";
  EXPECT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND)
      << "no default value until one is set";
  RegCloseKey(key);
}

TEST_F(Registry, DeletingKeysFollowsWindowsRules) {
  RegCloseKey(Create(HKEY_CLASSES_ROOT, u"CLSID\\{A}\\InprocServer32"));
  RegCloseKey(Create(HKEY_CLASSES_ROOT, u"CLSID\\{B}"));
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"CLSID\\{A}"), ERROR_ACCESS_DENIED)
      << "a key with subkeys is refused";
  EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, u"CLSID\\{A}"), ERROR_SUCCESS);
  EXPECT_EQ(EnumNames(HKEY_CLASSES_ROOT, false), Names{u"CLSID"}) << "parent kept";
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"clsid\\{b}"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"CLSID\\{B}"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u""), ERROR_ACCESS_DENIED) << "a root stays";
}

TEST_F(Registry, HandlesAreChecked) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"Gone");
  HKEY alias = nullptr, child = nullptr;
  ASSERT_EQ(RegOpenKeyW(key, nullptr, &alias), ERROR_SUCCESS) << "null subkey reopens the key";
  ASSERT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"Gone"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(alias, u"x", u"y"), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCreateKeyW(key, u"Child", &child), ERROR_KEY_DELETED);
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE) << "closed twice";
  EXPECT_EQ(RegCloseKey(alias), ERROR_SUCCESS);

  RegCloseKey(Create(HKEY_CLASSES_ROOT, u"ReadOnly"));
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"ReadOnly", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(SetString(key, u"x", u"y"), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
}

TEST_F(Registry, BadKeyPathsAreRefused) {
  const std::string deep = Deep(513);
  struct Row { const char* why; std::u16string path; LONG error; };
  const Row rows[] = {
      {"leading backslash", u"\\CLSID", ERROR_BAD_PATHNAME},
      {"name of 256 characters", std::u16string(256, u'k'), ERROR_INVALID_PARAMETER},
      {"control character", u"a\nb", ERROR_INVALID_PARAMETER},
      {"513 levels deep", std::u16string(deep.begin(), deep.end()), ERROR_INVALID_PARAMETER},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, row.path.c_str(), &key), row.error);
    EXPECT_EQ(key, nullptr);
  }
}

TEST_F(Registry, ValueBytesRoundTripExactly) {
  auto text = [](std::u16string units) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(units.data());
    return std::vector<BYTE>(bytes, bytes + units.size() * 2);
  };
  struct Row { const char* why; DWORD type; std::vector<BYTE> data; };
  const Row rows[] = {
      {"quotes, backslash and line breaks", REG_SZ, text(std::u16string(u"a\"b\\c\nd\re\tf\0", 13))},
      {"emoji and lone surrogate", REG_SZ, text(std::u16string(u"\U0001F600\xDC00\0", 4))},
      {"odd byte count", REG_SZ, {0x41, 0x00, 0x42}},
      {"dword", REG_DWORD, {0x90, 0x1F, 0, 0}},
      {"short dword", REG_DWORD, {1, 2}},
      {"unknown type number", 0x12345, {9}},
  };
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"Values");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    std::u16string name = u"\"";
    name.append(row.why, row.why + std::strlen(row.why));
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, row.type, row.data.data(), DWORD(row.data.size())),
              ERROR_SUCCESS);
    DWORD type = 0, size = 64;
    BYTE read[64];
    ASSERT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, &type, read, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, row.type);
    EXPECT_EQ(std::vector<BYTE>(read, read + size), row.data);
  }
  RegCloseKey(key);
  std::string store = StoreText();
  EXPECT_NE(store.find(R"("\"quotes, backslash and line breaks"=sz:"a\"b\\c\nd\re\tf\u0000")"),
            std::string::npos)
      << store;
}

TEST_F(Registry, CorruptStoreIsBadDbAndLeftAlone) {
  // A cut at a line boundary is left to RegistryFormat below.
  const std::string rows[] = {
      "[HKEY_CLASSES_ROOT\\A]\nend\n",  // no format line
      "qxcom registry 2\n@=sz:\"x\"\nend\n",  // value before any key
      "qxcom registry 2\n[HKEY_USERS\\A]\nend\n",
      "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"x\nend\n",  // unterminated text
      "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"\xC3\x28\"\nend\n",  // ill-formed UTF-8
      "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n\"v\"=sz:\"x\"\n\"V\"=sz:\"y\"\nend\n",  // twice
      "qxcom registry 2\n[HKEY_CLASSES_ROOT\\" + Deep(513) + "]\nend\n",
      "qxcom registry 2\nend\n[HKEY_CLASSES_ROOT\\A]\n",  // a key after the end line
      "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\nend\n",  // no end line in version 1
  };
  for (const std::string& text : rows) {
    SCOPED_TRACE(text);
    WriteStore(text);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key), ERROR_BADDB);
    EXPECT_EQ(SetString(HKEY_CLASSES_ROOT, u"v", u"x"), ERROR_BADDB);
    EXPECT_EQ(StoreText(), text) << "a write must not replace what it cannot read";
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

// Each value read is checked for an earlier spelling of its name; a key of
// many values must not compare each with all before it.
TEST(RegistryFormat, ReadsAKeyOfManyValuesAndFindsThemAfterARemoval) {
  std::string store = "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n";
  for (int i = 0; i < 100000; ++i) store += "\"v" + std::to_string(i) + "\"=dword:00000000\n";
  store += "end\n";
  qxcom::RegistryTree tree;
  ASSERT_TRUE(qxcom::ParseRegistry(store, &tree));
  EXPECT_EQ(qxcom::FormatRegistry(tree), store);
  qxcom::RegistryKey* key = tree.Root(qxcom::kClassesRoot).FindSubkey(u"a");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->RemoveValue(u"V5"));
  EXPECT_EQ(key->FindValue(u"v5"), nullptr);
  ASSERT_NE(key->FindValue(u"V6"), nullptr);
  EXPECT_EQ(key->FindValue(u"V6")->name, u"v6");
  key->SetValue(u"V99999", REG_DWORD, {1, 0, 0, 0});
  EXPECT_EQ(key->values().back().data, std::vector<BYTE>({1, 0, 0, 0}));
}

// Keys named only by their deepest descendant: each written key line
// repeats its path, 256 times the 1 MB read.
TEST_F(Registry, StoreThatWouldWriteOutTooLargeIsNotBuiltWhole) {
  std::string store = "qxcom registry 2\n";
  for (int chain = 0; chain < 8; ++chain) {
    store += "[HKEY_CLASSES_ROOT\\" + std::to_string(chain);
    for (size_t level = 1; level < qxcom::kMaxKeyDepth; ++level) store += "\\" + std::string(255, 'k');
    store += "]\n";
  }
  store += "end\n";
  qxcom::RegistryTree tree;
  ASSERT_TRUE(qxcom::ParseRegistry(store, &tree));
  EXPECT_LT(qxcom::FormatRegistry(tree).size(), qxcom::kMaxStoreSize + store.size());
  WriteStore(store);
  EXPECT_EQ(SetString(HKEY_CLASSES_ROOT, u"v", u"x"), ERROR_DISK_FULL);
  EXPECT_EQ(StoreText(), store);
}

TEST_F(Registry, Version1StoreIsReadAndRewrittenWithItsEndLine) {
  WriteStore("qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"old\"\n");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, nullptr), u"old");
  ASSERT_EQ(SetString(key, u"v", u"new"), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(StoreText(),
            "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"old\"\n\"v\"=sz:\"new\"\nend\n");
}

// Enough writer processes and writes to interleave their read-modify-write
// cycles: without the store's lock some values go missing. (Threads take
// the same lock, each through a descriptor of its own.)
TEST_F(Registry, ConcurrentWritersLoseNoUpdate) {
  constexpr int kWriters = 6, kValuesPerWriter = 6;
  auto name = [](int writer, int i) {
    std::string text = "w" + std::to_string(writer) + "-" + std::to_string(i);
    return std::u16string(text.begin(), text.end());
  };
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    children.push_back(Spawn([&] {
      HKEY key = Create(HKEY_CLASSES_ROOT, u"Shared");
      for (int i = 0; i < kValuesPerWriter; ++i) {
        if (SetString(key, name(writer, i).c_str(), name(writer, i)) != ERROR_SUCCESS) return 1;
      }
      return 0;
    }));
  }
  for (pid_t child : children) EXPECT_EQ(ExitStatus(child), 0);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"Shared", &key), ERROR_SUCCESS);
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int i = 0; i < kValuesPerWriter; ++i) {
      EXPECT_EQ(GetString(key, name(writer, i).c_str()), name(writer, i));
    }
  }
  RegCloseKey(key);
}

TEST_F(Registry, LinkedStoreIsWrittenAtItsTargetWithItsMode) {
  // The store links to `middle` by an absolute path, `middle` to `target` by
  // a path relative to its own directory, not the store's.
  const std::string dir = directory_ + "/elsewhere", target = dir + "/target";
  fs::create_directories(dir);
  fs::create_directories(fs::path(store_).parent_path());
  fs::create_symlink("target", dir + "/middle");
  fs::create_symlink(dir + "/middle", store_);
  std::ofstream(target) << kValidStore;
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);

  HKEY key = Create(HKEY_CLASSES_ROOT, u"A");
  ASSERT_EQ(SetString(key, u"v", u"through the link"), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, u"v"), u"through the link");
  RegCloseKey(key);
  EXPECT_TRUE(fs::is_symlink(store_)) << "the link is kept";
  EXPECT_NE(ReadFile(target).find("through the link"), std::string::npos) << ReadFile(target);
  EXPECT_EQ(ModeOf(target), 0640u) << "a rewrite keeps the store's mode";
  EXPECT_TRUE(fs::exists(target + ".lock")) << "locked where it is written";
}

TEST_F(Registry, UnusableStoresAreRefusedUnreadAndUntouched) {
  struct Row { const char* why; std::function<void()> make; };
  const Row rows[] = {
      {"a FIFO, which would block a reader", [&] { ASSERT_EQ(mkfifo(store_.c_str(), 0600), 0); }},
      {"a directory", [&] { fs::create_directory(store_); }},
      {"a link to itself", [&] { fs::create_symlink(store_, store_); }},
      {"a well-formed store past the size cap, a sparse file that reads as zeros", [&] {
         // One comment line of nulls between the format line and the end
         // line: valid text, so only the cap can refuse it.
         WriteStore("qxcom registry 2\n#");
         ASSERT_EQ(truncate(store_.c_str(), off_t(qxcom::kMaxStoreSize)), 0);
         std::ofstream(store_, std::ios::binary | std::ios::app) << "\nend\n";
       }},
  };
  // What a refused store must still be afterwards: its type, size and, for a
  // small regular file, its text.
  auto fingerprint = [&] {
    struct stat status {};
    if (lstat(store_.c_str(), &status) != 0) return std::string("missing");
    std::string print = std::to_string(status.st_mode & S_IFMT) + ":" + std::to_string(status.st_size);
    return S_ISREG(status.st_mode) && status.st_size < 4096 ? print + ":" + StoreText() : print;
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    fs::remove_all(fs::path(store_).parent_path());
    fs::create_directories(fs::path(store_).parent_path());
    row.make();
    const std::string before = fingerprint();
    pid_t child = Spawn([] {
      HKEY key = nullptr;
      bool readRefused = RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key) == ERROR_BADDB;
      bool writeRefused = SetString(HKEY_CLASSES_ROOT, u"v", u"x") == ERROR_BADDB;
      return (readRefused ? 0 : 1) | (writeRefused ? 0 : 2);
    });
    EXPECT_EQ(ExitStatus(child), 0) << "1: read not refused, 2: write not refused, -1: hung";
    EXPECT_EQ(fingerprint(), before);
  }
}

LONG RunTransaction(std::function<LONG()> work) {
  return QxRunRegistryTransaction(
      [](void* context) { return (*static_cast<std::function<LONG()>*>(context))(); }, &work);
}

TEST_F(Registry, TransactionWritesAllItsChangesAtTheEndOrNone) {
  WriteStore(kValidStore);
  for (LONG result : {LONG(ERROR_ACCESS_DENIED), LONG(ERROR_SUCCESS)}) {
    SCOPED_TRACE(result);
    std::string textDuring;
    LONG otherThreadRead = ERROR_SUCCESS;
    EXPECT_EQ(RunTransaction([&] {
                HKEY key = Create(HKEY_CLASSES_ROOT, u"A\\B");
                EXPECT_EQ(SetString(key, u"first", u"1"), ERROR_SUCCESS);
                EXPECT_EQ(SetString(key, u"second", u"2"), ERROR_SUCCESS);
                EXPECT_EQ(GetString(key, u"first"), u"1") << "the work reads its own changes";
                RegCloseKey(key);
                textDuring = StoreText();
                std::thread([&] {
                  HKEY other = nullptr;
                  otherThreadRead = RegOpenKeyW(HKEY_CLASSES_ROOT, u"A\\B", &other);
                }).join();
                return result;
              }),
              result);
    EXPECT_EQ(textDuring, kValidStore) << "nothing is written before the end";
    EXPECT_EQ(otherThreadRead, ERROR_FILE_NOT_FOUND) << "other threads read the committed store";
    if (result != ERROR_SUCCESS) {
      EXPECT_EQ(StoreText(), kValidStore) << "work that fails drops every change";
      continue;
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A\\B", &key), ERROR_SUCCESS);
    EXPECT_EQ(GetString(key, u"first"), u"1");
    EXPECT_EQ(GetString(key, u"second"), u"2");
    RegCloseKey(key);
  }
  LONG inner = ERROR_SUCCESS;
  EXPECT_EQ(RunTransaction([&] {
              inner = RunTransaction([] { return LONG(ERROR_SUCCESS); });
              return ERROR_SUCCESS;
            }),
            ERROR_SUCCESS);
  EXPECT_EQ(inner, ERROR_BUSY) << "a nested transaction is refused";
}

// The fixture's TearDown clears QXCOM_REGISTRY; HOME and XDG_CONFIG_HOME are restored here.
TEST_F(Registry, PathFollowsTheVariablesAndTheHomeDirectory) {
  auto put = [](const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); };
  const char* oldHome = getenv("HOME");
  const char* oldConfig = getenv("XDG_CONFIG_HOME");
  const std::string home = oldHome ? oldHome : "", config = oldConfig ? oldConfig : "";
  struct Row { const char* why; const char* registry; const char* configHome; const char* expected; };
  const Row rows[] = {
      {"QXCOM_REGISTRY first", "/r/store", "/x", "/r/store"},
      {"an empty QXCOM_REGISTRY counts as unset", "", "/x", "/x/qxcom/registry"},
      {"a relative XDG_CONFIG_HOME is ignored", nullptr, "x", "/h/.config/qxcom/registry"},
      {"without XDG_CONFIG_HOME, the home directory", nullptr, nullptr, "/h/.config/qxcom/registry"},
  };
  put("HOME", "/h");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    put("QXCOM_REGISTRY", row.registry);
    put("XDG_CONFIG_HOME", row.configHome);
    char path[256];
    DWORD size = sizeof path;
    ASSERT_EQ(QxGetRegistryFile(path, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(path, size - 1), row.expected);
  }
  put("HOME", oldHome ? home.c_str() : nullptr);
  put("XDG_CONFIG_HOME", oldConfig ? config.c_str() : nullptr);
  put("QXCOM_REGISTRY", "/r/store");
  DWORD size = 0;
  ASSERT_EQ(QxGetRegistryFile(nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 9u) << "the size needed counts the terminating null";
  char small[8] = "keep";
  size = sizeof small;
  EXPECT_EQ(QxGetRegistryFile(small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 9u);
  EXPECT_STREQ(small, "keep") << "nothing is written when it does not fit";
}

}  // namespace
