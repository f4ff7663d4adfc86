// Registry transactions, and the store path the platform reports.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/registry_fixture.h"
#include "qxcom/registry.h"

namespace {

using namespace registry_test;

class RegistryTransaction : public TemporaryRegistry {
 protected:
  static LONG Run(std::function<LONG()> work) {
    return QxRunRegistryTransaction(
        [](void* context) { return (*static_cast<std::function<LONG()>*>(context))(); }, &work);
  }
};

TEST_F(RegistryTransaction, WritesAllItsChangesAtTheEndOrNone) {
  WriteStore("qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\nend\n");
  const std::string committed = StoreText();
  struct Row { const char* why; LONG result; bool kept; };
  const Row rows[] = {
      {"work that fails drops every change", ERROR_ACCESS_DENIED, false},
      {"work that succeeds keeps them all", ERROR_SUCCESS, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    std::string textDuring;
    LONG otherThreadRead = ERROR_SUCCESS;
    EXPECT_EQ(Run([&] {
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
                return row.result;
              }),
              row.result);
    EXPECT_EQ(textDuring, committed) << "nothing is written before the end";
    EXPECT_EQ(otherThreadRead, ERROR_FILE_NOT_FOUND) << "other threads read the committed store";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, u"A\\B", &key),
              row.kept ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    if (!row.kept) {
      EXPECT_EQ(StoreText(), committed);
      continue;
    }
    EXPECT_EQ(GetString(key, u"first"), u"1");
    EXPECT_EQ(GetString(key, u"second"), u"2");
    RegCloseKey(key);
  }
}

TEST_F(RegistryTransaction, NestedTransactionIsRefused) {
  LONG inner = ERROR_SUCCESS;
  EXPECT_EQ(Run([&] {
              inner = Run([] { return LONG(ERROR_SUCCESS); });
              return ERROR_SUCCESS;
            }),
            ERROR_SUCCESS);
  EXPECT_EQ(inner, ERROR_BUSY);
}

// Sets or (with a null value) removes an environment variable for the
// life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string RegistryFile() {
  char path[256];
  DWORD size = sizeof path;
  EXPECT_EQ(QxGetRegistryFile(path, &size), ERROR_SUCCESS);
  return std::string(path, size - 1);
}

TEST(RegistryPath, FollowsTheVariablesAndTheHomeDirectory) {
  struct Row {
    const char* why;
    const char* registry;
    const char* configHome;
    const char* expected;
  };
  const Row rows[] = {
      {"QXCOM_REGISTRY first", "/r/store", "/x", "/r/store"},
      {"an empty QXCOM_REGISTRY counts as unset", "", "/x", "/x/qxcom/registry"},
      {"then XDG_CONFIG_HOME", nullptr, "/x", "/x/qxcom/registry"},
      {"a relative XDG_CONFIG_HOME is ignored", nullptr, "x", "/h/.config/qxcom/registry"},
      {"without XDG_CONFIG_HOME, the home directory", nullptr, nullptr,
       "/h/.config/qxcom/registry"},
  };
  ScopedVariable home("HOME", "/h");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    ScopedVariable registry("QXCOM_REGISTRY", row.registry);
    ScopedVariable configHome("XDG_CONFIG_HOME", row.configHome);
    EXPECT_EQ(RegistryFile(), row.expected);
  }
}

TEST(RegistryPath, SizeProtocol) {
  ScopedVariable registry("QXCOM_REGISTRY", "/r/store");
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
