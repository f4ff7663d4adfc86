// The file-based registry: the Windows key/value semantics a COM client
// relies on, the store's format and its safety under concurrent writers.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry_format.h"
#include "platform/string_conversion.h"
#include "qxcom/registry.h"

namespace {

// Points QXCOM_REGISTRY at a fresh file in a temporary directory.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qxcom-registry-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
    store_ = directory_ + "/nested/registry";
    setenv("QXCOM_REGISTRY", store_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QXCOM_REGISTRY");
    std::filesystem::remove_all(directory_);
  }

  std::string StoreText() const {
    std::ifstream file(store_, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  void WriteStore(const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(store_).parent_path());
    std::ofstream(store_, std::ios::binary) << text;
  }

  std::string directory_;
  std::string store_;
};

HKEY Create(HKEY parent, const char16_t* path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyW(parent, path, &key), ERROR_SUCCESS);
  return key;
}

LONG SetString(HKEY key, const char16_t* name, const std::u16string& text) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        DWORD((text.size() + 1) * sizeof(char16_t)));
}

// Reads a REG_SZ with the size-then-data protocol; the error code when it fails.
std::u16string GetString(HKEY key, const char16_t* name, LONG* error = nullptr) {
  DWORD type = 0, size = 0;
  LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  std::u16string text(size / 2, u'\0');
  if (result == ERROR_SUCCESS) {
    result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
    EXPECT_EQ(type, DWORD(REG_SZ));
  }
  if (error) *error = result;
  if (result != ERROR_SUCCESS) return {};
  if (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

std::vector<std::u16string> SubkeyNames(HKEY key) {
  std::vector<std::u16string> names;
  for (DWORD index = 0;; ++index) {
    char16_t name[256];
    DWORD length = 256;
    LONG result = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return names;
    EXPECT_EQ(result, ERROR_SUCCESS);
    if (result != ERROR_SUCCESS) return names;
    names.emplace_back(name, length);
  }
}

TEST_F(Registry, KeysAndValuesSurviveInTheStore) {
  HKEY server = Create(HKEY_CLASSES_ROOT, u"CLSID\\{0123ABCD-4567-89EF-FEDC-BA9876543210}\\InprocServer32");
  ASSERT_EQ(SetString(server, nullptr, u"/usr/lib/libqx.so"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(server, u"ThreadingModel", u"Apartment"), ERROR_SUCCESS);
  DWORD port = 8080;
  ASSERT_EQ(RegSetValueExW(server, u"Port", 0, REG_DWORD, reinterpret_cast<BYTE*>(&port), 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(server), ERROR_SUCCESS);

  HKEY reopened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT,
                          u"CLSID\\{0123ABCD-4567-89EF-FEDC-BA9876543210}\\InprocServer32", 0,
                          KEY_READ, &reopened),
            ERROR_SUCCESS);
  EXPECT_EQ(GetString(reopened, nullptr), u"/usr/lib/libqx.so");
  EXPECT_EQ(GetString(reopened, u""), u"/usr/lib/libqx.so") << "empty name is the default value";
  EXPECT_EQ(GetString(reopened, u"ThreadingModel"), u"Apartment");
  DWORD type = 0, read = 0, size = sizeof read;
  ASSERT_EQ(RegQueryValueExW(reopened, u"Port", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD(REG_DWORD));
  EXPECT_EQ(read, 8080u);
  RegCloseKey(reopened);

  std::string text = StoreText();
  EXPECT_EQ(text.rfind("qxcom registry 1\n", 0), 0u);
  EXPECT_NE(text.find("\"ThreadingModel\"=sz:\"Apartment\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Port\"=dword:00001f90\n"), std::string::npos) << text;
}

TEST_F(Registry, NamesMatchInAnyCaseAndKeepTheirSpelling) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"qxsoapsvc.QxSoapMsg2");
  ASSERT_EQ(SetString(key, u"CurVer", u"v1"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, u"CURVER", u"v2"), ERROR_SUCCESS) << "replaces, not adds";
  RegCloseKey(key);

  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"QXSOAPSVC.qxsoapmsg2", &again), ERROR_SUCCESS);
  EXPECT_EQ(GetString(again, u"curver"), u"v2");
  char16_t name[32];
  DWORD length = 32;
  ASSERT_EQ(RegEnumValueW(again, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name, length), u"CurVer");
  EXPECT_EQ(RegEnumValueW(again, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  RegCloseKey(again);
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), std::vector<std::u16string>{u"qxsoapsvc.QxSoapMsg2"});

  HKEY latin = Create(HKEY_CLASSES_ROOT, u"\u00C9t\u00E9");
  RegCloseKey(latin);
  EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"\u00E9T\u00C9", &latin), ERROR_SUCCESS)
      << "letters beyond ASCII fold too";
  RegCloseKey(latin);
}

TEST_F(Registry, EnumerationIsInCaseInsensitiveOrderWithTheSizeProtocol) {
  for (const char16_t* name : {u"beta", u"Alpha", u"gamma-long-name"}) RegCloseKey(Create(HKEY_CLASSES_ROOT, name));
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT),
            (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma-long-name"}));
  char16_t name[8];
  DWORD length = 8;
  EXPECT_EQ(RegEnumKeyExW(HKEY_CLASSES_ROOT, 2, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  length = 5;
  EXPECT_EQ(RegEnumKeyExW(HKEY_CLASSES_ROOT, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA) << "the capacity must hold the null too";
  length = 6;
  EXPECT_EQ(RegEnumKeyExW(HKEY_CLASSES_ROOT, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(length, 5u);
}

TEST_F(Registry, QueryInfoKeySizesAWalkOverTheKey) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"Walk");
  RegCloseKey(Create(key, u"short"));
  RegCloseKey(Create(key, u"a-longer-subkey"));
  ASSERT_EQ(SetString(key, nullptr, u"default text"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, u"LongestValueName", u"x"), ERROR_SUCCESS);
  DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxSize = 0, classLength = 9;
  ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, &classLength, nullptr, &subkeys, &maxSubkey, nullptr,
                             &values, &maxName, &maxSize, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 2u);
  EXPECT_EQ(maxSubkey, 15u) << "characters, without the null";
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(maxName, 16u);
  EXPECT_EQ(maxSize, 26u) << "\"default text\" and its null, in bytes";
  EXPECT_EQ(classLength, 0u);

  std::vector<char16_t> name(maxName + 1);
  std::vector<BYTE> data(maxSize);
  for (DWORD index = 0; index < values; ++index) {
    DWORD nameLength = DWORD(name.size()), size = DWORD(data.size());
    EXPECT_EQ(RegEnumValueW(key, index, name.data(), &nameLength, nullptr, nullptr, data.data(), &size),
              ERROR_SUCCESS)
        << "buffers sized from the key's description always suffice";
  }
  DWORD reserved = 0;
  EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, &reserved, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(Registry, QueryFollowsTheMoreDataProtocol) {
  HKEY key = Create(HKEY_CURRENT_USER, u"Software\\qx");
  ASSERT_EQ(SetString(key, u"Name", u"abcdef"), ERROR_SUCCESS);
  DWORD size = 0;
  ASSERT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 14u) << "six characters and the null";
  BYTE small[4];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 14u) << "the size needed comes back";
  BYTE exact[14];
  size = sizeof exact;
  EXPECT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, exact, &size), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, exact, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
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
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), std::vector<std::u16string>{u"CLSID"}) << "parent kept";
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"clsid\\{b}"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"CLSID\\{B}"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, u"CLSID\\{B}"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u""), ERROR_ACCESS_DENIED) << "a root stays";
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, nullptr), ERROR_INVALID_PARAMETER);

  HKEY clsid = Create(HKEY_CLASSES_ROOT, u"CLSID");
  ASSERT_EQ(SetString(clsid, nullptr, u"kept?"), ERROR_SUCCESS);
  RegCloseKey(Create(clsid, u"{C}"));
  EXPECT_EQ(RegDeleteTreeW(clsid, nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(SubkeyNames(clsid).empty());
  LONG error;
  GetString(clsid, nullptr, &error);
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND) << "a null subkey clears the values too";
  ASSERT_EQ(RegDeleteValueW(clsid, nullptr), ERROR_FILE_NOT_FOUND);
  RegCloseKey(clsid);
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), std::vector<std::u16string>{u"CLSID"});
}

TEST_F(Registry, HandlesAreChecked) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"Gone");
  HKEY alias = nullptr;
  ASSERT_EQ(RegOpenKeyW(key, nullptr, &alias), ERROR_SUCCESS) << "null subkey reopens the key";
  ASSERT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"Gone"), ERROR_SUCCESS);
  EXPECT_EQ(SetString(alias, u"x", u"y"), ERROR_KEY_DELETED);
  LONG error;
  GetString(key, u"x", &error);
  EXPECT_EQ(error, ERROR_KEY_DELETED);
  HKEY child = nullptr;
  EXPECT_EQ(RegCreateKeyW(key, u"Child", &child), ERROR_KEY_DELETED);
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE) << "closed twice";
  EXPECT_EQ(SetString(key, u"x", u"y"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(alias), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(HKEY_CLASSES_ROOT), ERROR_SUCCESS) << "roots close as a no-op";
  EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);

  RegCloseKey(Create(HKEY_CLASSES_ROOT, u"ReadOnly"));
  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"ReadOnly", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  EXPECT_EQ(SetString(readOnly, u"x", u"y"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyW(readOnly, u"Sub", &child), ERROR_ACCESS_DENIED);
  RegCloseKey(readOnly);
}

// A key path of `levels` one-letter names.
std::u16string Deep(int levels) {
  std::u16string path = u"d";
  for (int i = 1; i < levels; ++i) path += u"\\d";
  return path;
}

struct BadPathRow {
  const char* why;
  std::u16string path;
  LONG error;
};

TEST_F(Registry, BadKeyPathsAreRefused) {
  const BadPathRow rows[] = {
      {"leading backslash", u"\\CLSID", ERROR_BAD_PATHNAME},
      {"empty name inside", u"CLSID\\\\x", ERROR_BAD_PATHNAME},
      {"name of 256 characters", std::u16string(256, u'k'), ERROR_INVALID_PARAMETER},
      {"control character", u"a\nb", ERROR_INVALID_PARAMETER},
      {"lone surrogate", u"a\xD800", ERROR_INVALID_PARAMETER},
      {"513 levels deep", Deep(513), ERROR_INVALID_PARAMETER},
  };
  for (const BadPathRow& row : rows) {
    SCOPED_TRACE(row.why);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, row.path.c_str(), &key), row.error);
    EXPECT_EQ(key, nullptr);
  }
  HKEY key = Create(HKEY_CLASSES_ROOT, u"Trailing\\");
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), std::vector<std::u16string>{u"Trailing"})
      << "a trailing backslash is allowed";
  RegCloseKey(key);
  EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"x", 0, nullptr, 0x4, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_INVALID_PARAMETER)
      << "unknown option";
}

struct RoundTripRow {
  const char* why;
  DWORD type;
  std::vector<BYTE> data;
};

TEST_F(Registry, ValueBytesRoundTripExactly) {
  auto text = [](std::u16string units) {
    return std::vector<BYTE>(reinterpret_cast<const BYTE*>(units.data()),
                             reinterpret_cast<const BYTE*>(units.data() + units.size()));
  };
  const RoundTripRow rows[] = {
      {"quotes, backslash and line breaks", REG_SZ, text(std::u16string(u"a\"b\\c\nd\re\tf\0", 13))},
      {"emoji and lone surrogate", REG_SZ, text(std::u16string(u"\U0001F600\xDC00\0", 4))},
      {"embedded null", REG_EXPAND_SZ, text(std::u16string(u"%PATH%\0x\0", 9))},
      {"text without its null", REG_SZ, text(u"abc")},
      {"odd byte count", REG_SZ, {0x41, 0x00, 0x42}},
      {"empty text value", REG_SZ, {}},
      {"short dword", REG_DWORD, {1, 2}},
      {"binary", REG_BINARY, {0x00, 0xFF, 0x7F}},
      {"empty binary", REG_BINARY, {}},
      {"unknown type number", 0x12345, {9}},
  };
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"Values");
  for (const RoundTripRow& row : rows) {
    SCOPED_TRACE(row.why);
    std::u16string name = u"\"" + std::u16string(row.why, row.why + std::strlen(row.why));
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, row.type, row.data.data(), DWORD(row.data.size())),
              ERROR_SUCCESS);
    DWORD type = 0, size = 64;
    BYTE read[64];
    ASSERT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, &type, read, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, row.type);
    EXPECT_EQ(std::vector<BYTE>(read, read + size), row.data);
  }
  RegCloseKey(key);
  EXPECT_NE(StoreText().find(
                R"("\"quotes, backslash and line breaks"=sz:"a\"b\\c\nd\re\tf\u0000")" "\n"),
            std::string::npos)
      << StoreText();
}

TEST_F(Registry, MissingStoreIsAnEmptyRegistry) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"CLSID", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  EXPECT_TRUE(SubkeyNames(HKEY_CLASSES_ROOT).empty());
  EXPECT_FALSE(std::filesystem::exists(store_)) << "reading creates nothing";
}

struct CorruptRow {
  const char* why;
  std::string text;
};
const CorruptRow kCorruptRows[] = {
    {"no format line", "[HKEY_CLASSES_ROOT\\A]\n"},
    {"other format version", "qxcom registry 2\n"},
    {"value before any key", "qxcom registry 1\n@=sz:\"x\"\n"},
    {"unknown root", "qxcom registry 1\n[HKEY_USERS\\A]\n"},
    {"key line without closing bracket", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A\n"},
    {"empty key name", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\\\A]\n"},
    {"unterminated text", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"x\n"},
    {"unknown escape", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"\\q\"\n"},
    {"short unicode escape", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"\\u12\"\n"},
    {"ill-formed UTF-8", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"\xC3\x28\"\n"},
    {"dword of seven digits", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=dword:0000001\n"},
    {"hex byte of one digit", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=hex(3):1\n"},
    {"unknown type word", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=qword:1\n"},
    {"text after the value", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n@=sz:\"x\" y\n"},
    {"value written twice", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\A]\n\"v\"=sz:\"x\"\n\"V\"=sz:\"y\"\n"},
    {"stray line", "qxcom registry 1\nhello\n"},
    {"key 513 levels deep", "qxcom registry 1\n[HKEY_CLASSES_ROOT\\" +
                                std::string(qxcom::ToUtf8(Deep(513))) + "]\n"},
    {"binary junk", std::string("\x00\x01\x02", 3)},
};

TEST_F(Registry, CorruptStoreIsBadDbAndLeftAlone) {
  for (const CorruptRow& row : kCorruptRows) {
    SCOPED_TRACE(row.why);
    WriteStore(row.text);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key), ERROR_BADDB);
    EXPECT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, u"B", &key), ERROR_BADDB);
    EXPECT_EQ(SetString(HKEY_CLASSES_ROOT, u"v", u"x"), ERROR_BADDB);
    EXPECT_EQ(StoreText(), row.text) << "a write must not replace what it cannot read";
  }
}

TEST(RegistryFormat, EveryTruncatedStoreIsReadOrRefused) {
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
  int refused = 0;
  for (size_t length = 0; length < store.size(); ++length) {
    SCOPED_TRACE(length);
    qxcom::RegistryTree part;
    if (!qxcom::ParseRegistry(store.substr(0, length), &part)) {
      ++refused;
      continue;
    }
    std::string again = qxcom::FormatRegistry(part);
    qxcom::RegistryTree reread;
    ASSERT_TRUE(qxcom::ParseRegistry(again, &reread));
    EXPECT_EQ(qxcom::FormatRegistry(reread), again);
  }
  EXPECT_GT(refused, 0) << "cuts inside a line must be refused";
}

TEST_F(Registry, HandWrittenStoreWithCommentsAndImpliedParentsReads) {
  WriteStore(
      "qxcom registry 1\r\n"
      "# written by hand\n"
      "\n"
      "[hkey_classes_root\\Deep\\Er]\n"
      "@=sz:\"caf\xC3\xA9 \\u00e9\"\n"
      "[HKEY_CLASSES_ROOT\\Deep\\Er]\n"
      "\"n\"=hex(3):\n");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"Deep\\Er", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, nullptr), u"caf\u00E9 \u00E9");
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"n", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD(REG_BINARY));
  EXPECT_EQ(size, 0u);
  RegCloseKey(key);
}

TEST_F(Registry, UnusableStoreLocationFailsCleanly) {
  setenv("QXCOM_REGISTRY", "/dev/null/registry", 1);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key), ERROR_BADDB);
  EXPECT_NE(RegCreateKeyW(HKEY_CLASSES_ROOT, u"A", &key), ERROR_SUCCESS);
  EXPECT_EQ(key, nullptr);
}

TEST_F(Registry, ReadersSeeAnotherProcessChangeOfTheSameSize) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"Cached");
  ASSERT_EQ(SetString(key, u"v", u"aaaa"), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, u"v"), u"aaaa");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(SetString(key, u"v", u"bbbb") == ERROR_SUCCESS ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(GetString(key, u"v"), u"bbbb") << "a store of the same size is still read afresh";
  RegCloseKey(key);
}

constexpr int kWriters = 6;
constexpr int kValuesPerWriter = 20;

void WriteValues(int writer) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, u"Shared", &key), ERROR_SUCCESS);
  for (int i = 0; i < kValuesPerWriter; ++i) {
    std::string name = "w" + std::to_string(writer) + "-" + std::to_string(i);
    std::u16string wide(name.begin(), name.end());
    ASSERT_EQ(SetString(key, wide.c_str(), wide), ERROR_SUCCESS);
  }
  RegCloseKey(key);
}

void ExpectEveryValue() {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"Shared", &key), ERROR_SUCCESS);
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int i = 0; i < kValuesPerWriter; ++i) {
      std::string name = "w" + std::to_string(writer) + "-" + std::to_string(i);
      std::u16string wide(name.begin(), name.end());
      EXPECT_EQ(GetString(key, wide.c_str()), wide);
    }
  }
  RegCloseKey(key);
}

TEST_F(Registry, ConcurrentThreadsLoseNoUpdate) {
  std::vector<std::thread> writers;
  for (int writer = 0; writer < kWriters; ++writer) writers.emplace_back(WriteValues, writer);
  for (std::thread& writer : writers) writer.join();
  ExpectEveryValue();
}

TEST_F(Registry, ConcurrentProcessesLoseNoUpdate) {
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      WriteValues(writer);
      _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ExpectEveryValue();
}

}  // namespace
