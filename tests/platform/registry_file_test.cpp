// The store file on disk: the permissions it keeps, the links it writes
// through, and the files it refuses without blocking or reading them whole.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/registry_file.h"
#include "platform/registry_fixture.h"
#include "qxcom/registry.h"

namespace {

using namespace registry_test;
namespace fs = std::filesystem;

class RegistryFile : public TemporaryRegistry {
 protected:
  static mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
  }

  // What a refused store must still be afterwards: its type, size and, for a
  // small regular file, its text.
  std::string Fingerprint() const {
    struct stat status {};
    if (lstat(store_.c_str(), &status) != 0) return "missing";
    std::string print = std::to_string(status.st_mode & S_IFMT) + ":" +
                        std::to_string(status.st_size);
    if (S_ISREG(status.st_mode) && status.st_size < 4096) print += ":" + StoreText();
    return print;
  }

  static constexpr char kValidStore[] = "qxcom registry 2\n[HKEY_CLASSES_ROOT\\A]\nend\n";
};

TEST_F(RegistryFile, NewStoreAndItsDirectoryArePrivate) {
  ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, u"v", u"x"), ERROR_SUCCESS);
  EXPECT_EQ(ModeOf(store_), 0600u);
  EXPECT_EQ(ModeOf(directory_ + "/nested"), 0700u) << "the directory made for the store";
}

TEST_F(RegistryFile, RewriteKeepsTheStoresMode) {
  struct Row { const char* why; mode_t mode; };
  const Row rows[] = {
      {"a store made private stays private", 0600},
      {"a store shared with the group stays shared", 0660},
      {"a world-readable store stays so", 0644},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    WriteStore(kValidStore);
    ASSERT_EQ(chmod(store_.c_str(), row.mode), 0);
    ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, u"v", u"x"), ERROR_SUCCESS);
    EXPECT_EQ(ModeOf(store_), row.mode);
  }
}

TEST_F(RegistryFile, LinkedStoreIsWrittenAtItsTarget) {
  struct Row { const char* why; std::function<std::string(const std::string&)> link; };
  // Each row links the store path to a file in `dir` and returns that file.
  const Row rows[] = {
      {"absolute link", [&](const std::string& dir) {
         fs::create_symlink(dir + "/target", store_);
         return dir + "/target";
       }},
      {"relative link, from the link's directory", [&](const std::string& dir) {
         fs::create_symlink(fs::relative(dir + "/target", fs::path(store_).parent_path()), store_);
         return dir + "/target";
       }},
      {"chain of two links", [&](const std::string& dir) {
         fs::create_symlink(dir + "/target", dir + "/middle");
         fs::create_symlink(dir + "/middle", store_);
         return dir + "/target";
       }},
  };
  int round = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const std::string dir = directory_ + "/elsewhere" + std::to_string(round++);
    fs::create_directories(dir);
    fs::create_directories(fs::path(store_).parent_path());
    fs::remove(store_);
    const std::string target = row.link(dir);
    std::ofstream(target) << kValidStore;
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);

    HKEY key = Create(HKEY_CLASSES_ROOT, u"A");
    ASSERT_EQ(SetString(key, u"v", u"through the link"), ERROR_SUCCESS);
    EXPECT_EQ(GetString(key, u"v"), u"through the link");
    RegCloseKey(key);
    EXPECT_TRUE(fs::is_symlink(store_)) << "the link is kept";
    std::stringstream text;
    text << std::ifstream(target).rdbuf();
    EXPECT_NE(text.str().find("through the link"), std::string::npos) << text.str();
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_TRUE(fs::exists(target + ".lock")) << "locked where it is written";
  }
}

TEST_F(RegistryFile, UnusableStoresAreRefusedUnreadAndUntouched) {
  struct Row { const char* why; std::function<void()> make; };
  const Row rows[] = {
      {"a FIFO, which would block a reader",
       [&] { ASSERT_EQ(mkfifo(store_.c_str(), 0600), 0); }},
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
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    fs::remove_all(fs::path(store_).parent_path());
    fs::create_directories(fs::path(store_).parent_path());
    row.make();
    const std::string before = Fingerprint();
    // In a child, so that a store that blocks its reader ends in the alarm.
    pid_t child = Spawn([] {
      HKEY key = nullptr;
      bool readRefused = RegOpenKeyW(HKEY_CLASSES_ROOT, u"A", &key) == ERROR_BADDB;
      bool writeRefused = SetString(HKEY_CLASSES_ROOT, u"v", u"x") == ERROR_BADDB;
      return (readRefused ? 0 : 1) | (writeRefused ? 0 : 2);
    });
    EXPECT_EQ(ExitStatus(child), 0) << "1: read not refused, 2: write not refused, -1: hung";
    EXPECT_EQ(Fingerprint(), before);
  }
}

}  // namespace
