// The registry store file: lookup of its path, whole-file reads, and locked
// read-change-replace updates.
#include "platform/registry_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/registry_format.h"
#include "qxcom/winerror.h"

namespace qxcom {
namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports whether closing succeeded.
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

LONG ErrorFromErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENOMEM:
      return ERROR_OUTOFMEMORY;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  std::vector<char> buffer(16384);
  passwd entry;
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir) {
    return {};
  }
  return found->pw_dir;
}

// Reads the whole store; a missing file reads as empty text.
LONG ReadStore(const std::string& path, std::string* text) {
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return errno == ENOENT ? ERROR_SUCCESS : ERROR_BADDB;
  char buffer[65536];
  for (;;) {
    ssize_t got = read(file.get(), buffer, sizeof buffer);
    if (got == 0) return ERROR_SUCCESS;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ERROR_BADDB;
    text->append(buffer, size_t(got));
  }
}

LONG MakeParentDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) {
      return ErrorFromErrno(errno);
    }
  }
  return ERROR_SUCCESS;
}

bool WriteAll(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    ssize_t done = write(fd, text.data() + written, text.size() - written);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return false;
    written += size_t(done);
  }
  return true;
}

// Makes the rename itself durable; a failure here loses nothing already
// visible, so it is not reported.
void SyncDirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  FileDescriptor handle(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.get() >= 0) fsync(handle.get());
}

// Writes `text` to a temporary file beside the store, syncs it and renames
// it over the store, so that the store is always one whole version.
LONG ReplaceStore(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
  if (file.get() < 0) return ErrorFromErrno(errno);
  bool written = fchmod(file.get(), 0644) == 0 && WriteAll(file.get(), text) &&
                 fsync(file.get()) == 0;
  int error = errno;
  if (!file.Close() && written) {
    written = false;
    error = errno;
  }
  if (written && rename(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    return ErrorFromErrno(error);
  }
  SyncDirectoryOf(path);
  return ERROR_SUCCESS;
}

// The last store read and its parse. Comparing whole texts rather than file
// times or inode numbers keeps a reader from ever seeing a stale tree.
struct ParsedStore {
  std::string path;
  std::string text;
  std::shared_ptr<const RegistryTree> tree;
};

std::mutex lastReadMutex;
ParsedStore lastRead;

}  // namespace

std::string RegistryStorePath() {
  if (const char* explicitPath = std::getenv("QXCOM_REGISTRY"); explicitPath && *explicitPath) {
    return explicitPath;
  }
  // A relative XDG_CONFIG_HOME is invalid by the XDG rules and ignored.
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
    return std::string(config) + "/qxcom/registry";
  }
  std::string home = HomeDirectory();
  return home.empty() ? std::string() : home + "/.config/qxcom/registry";
}

LONG LoadRegistry(std::shared_ptr<const RegistryTree>* tree) {
  std::string path = RegistryStorePath();
  if (path.empty()) return ERROR_REGISTRY_IO_FAILED;
  std::string text;
  if (LONG error = ReadStore(path, &text)) return error;
  {
    std::lock_guard lock(lastReadMutex);
    if (lastRead.tree && lastRead.path == path && lastRead.text == text) {
      *tree = lastRead.tree;
      return ERROR_SUCCESS;
    }
  }
  auto parsed = std::make_shared<RegistryTree>();
  if (!ParseRegistry(text, parsed.get())) return ERROR_BADDB;
  std::lock_guard lock(lastReadMutex);
  lastRead = {std::move(path), std::move(text), parsed};
  *tree = std::move(parsed);
  return ERROR_SUCCESS;
}

LONG UpdateRegistry(const std::function<LONG(RegistryTree&)>& change) {
  std::string path = RegistryStorePath();
  if (path.empty()) return ERROR_REGISTRY_IO_FAILED;
  if (LONG error = MakeParentDirectories(path)) return error;
  // The lock lives in a sidecar file because the store itself is replaced
  // by every write.
  FileDescriptor lock(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0) return ErrorFromErrno(errno);
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return ErrorFromErrno(errno);
  }
  std::string before;
  if (LONG error = ReadStore(path, &before)) return error;
  RegistryTree tree;
  if (!ParseRegistry(before, &tree)) return ERROR_BADDB;
  if (LONG error = change(tree)) return error;
  std::string after = FormatRegistry(tree);
  if (after == before) return ERROR_SUCCESS;
  return ReplaceStore(path, after);
}

}  // namespace qxcom
