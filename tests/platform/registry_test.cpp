// The registry calls with the Windows key/value semantics a COM client
// relies on.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry_fixture.h"

namespace {

using namespace registry_test;
using Names = std::vector<std::u16string>;

class Registry : public TemporaryRegistry {};

TEST_F(Registry, MissingStoreIsAnEmptyRegistryUntilAWrite) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"CLSID", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  EXPECT_FALSE(std::filesystem::exists(store_)) << "reading creates nothing";

  key = Create(HKEY_CLASSES_ROOT, u"CLSID\\{A}\\InprocServer32");
  ASSERT_EQ(SetString(key, nullptr, u"/usr/lib/libqx.so"), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, u""), u"/usr/lib/libqx.so") << "empty name is the default value";
  RegCloseKey(key);
  EXPECT_EQ(StoreText().rfind("qxcom registry 2\n", 0), 0u);
}

TEST_F(Registry, NamesMatchInAnyCaseAndKeepTheirSpelling) {
  HKEY key = Create(HKEY_CLASSES_ROOT, u"qxsoapsvc.QxSoapMsg2");
  ASSERT_EQ(SetString(key, u"CurVer", u"v1"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, u"CURVER", u"v2"), ERROR_SUCCESS) << "replaces, not adds";
  RegCloseKey(key);
  ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"QXSOAPSVC.qxsoapmsg2", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetString(key, u"curver"), u"v2");
  EXPECT_EQ(ValueNames(key), Names{u"CurVer"}) << "the first spelling is kept";
  RegCloseKey(key);
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), Names{u"qxsoapsvc.QxSoapMsg2"});
  RegCloseKey(Create(HKEY_CLASSES_ROOT, u"\u00C9t\u00E9"));
  EXPECT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"\u00E9T\u00C9", &key), ERROR_SUCCESS)
      << "letters beyond ASCII fold too";
  RegCloseKey(key);
}

TEST_F(Registry, EnumerationOrderAndTheSizeProtocols) {
  for (const char16_t* name : {u"beta", u"Alpha", u"gamma-long-name"}) {
    RegCloseKey(Create(HKEY_CLASSES_ROOT, name));
  }
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), (Names{u"Alpha", u"beta", u"gamma-long-name"}));

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
  EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), Names{u"CLSID"}) << "parent kept";
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
  struct Row { const char* why; std::u16string path; LONG error; };
  const Row rows[] = {
      {"leading backslash", u"\\CLSID", ERROR_BAD_PATHNAME},
      {"name of 256 characters", std::u16string(256, u'k'), ERROR_INVALID_PARAMETER},
      {"control character", u"a\nb", ERROR_INVALID_PARAMETER},
      {"513 levels deep", Deep(513), ERROR_INVALID_PARAMETER},
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
  EXPECT_NE(store.find("\"\\\"dword\"=dword:00001f90\n"), std::string::npos) << store;
}

}  // namespace
