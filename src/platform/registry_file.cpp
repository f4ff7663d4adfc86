// The registry store on disk: link resolution, checked whole-file reads, the
// sidecar lock, and atomic replacement that keeps the file's mode.
#include "platform/registry_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

#include "qxcom/winerror.h"

namespace qxcom {
namespace {

// The kernel's own limit on links followed in one path.
constexpr int kMaxLinkHops = 40;
constexpr mode_t kNewStoreMode = 0600;
constexpr mode_t kNewDirectoryMode = 0700;

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

// The directory part of `path` with its trailing slash; empty for a bare
// name, which is relative to the working directory.
std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The target text of the link `path`; empty when it cannot be read.
std::string ReadLink(const std::string& path) {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
    if (length <= 0) return {};
    if (size_t(length) < buffer.size()) return std::string(buffer.data(), size_t(length));
    buffer.resize(buffer.size() * 2);
  }
}

LONG MakeParentDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (mkdir(path.substr(0, slash).c_str(), kNewDirectoryMode) != 0 && errno != EEXIST) {
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
  std::string directory = DirectoryOf(path);
  FileDescriptor handle(
      open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.get() >= 0) fsync(handle.get());
}

}  // namespace

LONG ResolveStoreFile(const std::string& path, std::string* file) {
  std::string current = path;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat status;
    // Whatever keeps lstat from looking (a missing file, a directory that
    // cannot be searched) is reported by the read or write that follows.
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      *file = std::move(current);
      return ERROR_SUCCESS;
    }
    std::string target = ReadLink(current);
    if (target.empty()) return ERROR_BADDB;
    current = target[0] == '/' ? target : DirectoryOf(current) + target;
  }
  return ERROR_BADDB;
}

LONG ReadStoreFile(const std::string& file, std::string* text) {
  // O_NONBLOCK: opening a FIFO returns at once instead of waiting for a
  // writer; the type check below then refuses it unread.
  FileDescriptor handle(open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (handle.get() < 0) return errno == ENOENT ? ERROR_SUCCESS : ERROR_BADDB;
  struct stat status;
  if (fstat(handle.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      uint64_t(status.st_size) > kMaxStoreSize) {
    return ERROR_BADDB;
  }
  // The size is checked again while reading, as the file may grow meanwhile.
  char buffer[65536];
  while (text->size() <= kMaxStoreSize) {
    ssize_t got = read(handle.get(), buffer, sizeof buffer);
    if (got == 0) return ERROR_SUCCESS;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ERROR_BADDB;
    text->append(buffer, size_t(got));
  }
  return ERROR_BADDB;
}

LONG ReplaceStoreFile(const std::string& file, const std::string& text) {
  if (text.size() > kMaxStoreSize) return ERROR_DISK_FULL;
  mode_t mode = kNewStoreMode;
  if (struct stat existing; stat(file.c_str(), &existing) == 0) mode = existing.st_mode & 07777;
  std::string temporary = file + ".XXXXXX";
  FileDescriptor handle(mkostemp(temporary.data(), O_CLOEXEC));
  if (handle.get() < 0) return ErrorFromErrno(errno);
  bool written = fchmod(handle.get(), mode) == 0 && WriteAll(handle.get(), text) &&
                 fsync(handle.get()) == 0;
  int error = errno;
  if (!handle.Close() && written) {
    written = false;
    error = errno;
  }
  if (written && rename(temporary.c_str(), file.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    return ErrorFromErrno(error);
  }
  SyncDirectoryOf(file);
  return ERROR_SUCCESS;
}

StoreLock::~StoreLock() {
  if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
}

LONG StoreLock::Acquire(const std::string& file) {
  if (LONG error = MakeParentDirectories(file)) return error;
  // Opened for reading, which flock needs no more than: whoever may read
  // the (empty) lock file can serialise with the others.
  fd_ = open((file + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return ErrorFromErrno(errno);
  while (flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) return ErrorFromErrno(errno);
  }
  return ERROR_SUCCESS;
}

}  // namespace qxcom
