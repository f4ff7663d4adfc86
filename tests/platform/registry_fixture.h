// A temporary registry store for the registry and runtime tests, and the
// client-side helpers they share.
#ifndef QXSOAP_TESTS_PLATFORM_REGISTRY_FIXTURE_H_
#define QXSOAP_TESTS_PLATFORM_REGISTRY_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

  static std::string ReadFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
  }
  std::string StoreText() const { return ReadFile(store_); }
  void WriteStore(const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(store_).parent_path());
    std::ofstream(store_, std::ios::binary) << text;
  }

  std::string directory_;
  std::string store_;
};

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

}  // namespace registry_test

#endif  // QXSOAP_TESTS_PLATFORM_REGISTRY_FIXTURE_H_
