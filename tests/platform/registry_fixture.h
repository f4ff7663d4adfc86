// A temporary registry store for the registry and runtime tests, and the
// small client-side helpers they share.
#ifndef QXSOAP_TESTS_PLATFORM_REGISTRY_FIXTURE_H_
#define QXSOAP_TESTS_PLATFORM_REGISTRY_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qxcom.h"

namespace registry_test {

// Points QXCOM_REGISTRY at a fresh file in a temporary directory.
class TemporaryRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qxcom-test-XXXXXX";
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
    std::stringstream text;
    text << std::ifstream(store_, std::ios::binary).rdbuf();
    return text.str();
  }
  void WriteStore(const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(store_).parent_path());
    std::ofstream(store_, std::ios::binary) << text;
  }

  std::string directory_;
  std::string store_;
};

// Runs `work` in a forked child, which exits with what it returns. An alarm
// ends a child that hangs, so that a store which blocks its reader fails
// the test instead of stopping it.
template <typename Work>
pid_t Spawn(Work work) {
  pid_t child = fork();
  if (child == 0) {
    alarm(60);
    _exit(work());
  }
  EXPECT_GT(child, 0);
  return child;
}

// The exit status of `child`, or -1 when it did not exit (a signal).
inline int ExitStatus(pid_t child) {
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, 0), child);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::u16string Braced(REFGUID guid) {
  OLECHAR text[39];
  EXPECT_EQ(StringFromGUID2(guid, text, 39), 39);
  return text;
}

inline HKEY Create(HKEY parent, const char16_t* path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyW(parent, path, &key), ERROR_SUCCESS);
  return key;
}

// Stores `text` with its terminating null, as Windows callers do.
inline LONG SetString(HKEY key, const char16_t* name, const std::u16string& text,
                      DWORD type = REG_SZ) {
  return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                        DWORD((text.size() + 1) * sizeof(char16_t)));
}

// Reads a REG_SZ with the size-then-data protocol; empty when it fails.
inline std::u16string GetString(HKEY key, const char16_t* name) {
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
inline std::vector<std::u16string> EnumNames(HKEY key, bool values) {
  std::vector<std::u16string> names;
  char16_t name[256];
  for (DWORD length = 256;; length = 256) {
    DWORD index = DWORD(names.size());
    LONG result = values ? RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                         : RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return names;
    names.emplace_back(name, length);
  }
}
inline std::vector<std::u16string> SubkeyNames(HKEY key) { return EnumNames(key, false); }
inline std::vector<std::u16string> ValueNames(HKEY key) { return EnumNames(key, true); }

// A key path of `levels` one-letter names.
inline std::u16string Deep(int levels) {
  std::u16string path = u"d";
  for (int i = 1; i < levels; ++i) path += u"\\d";
  return path;
}

}  // namespace registry_test

#endif  // QXSOAP_TESTS_PLATFORM_REGISTRY_FIXTURE_H_
