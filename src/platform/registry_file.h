// The registry store on disk: the file a store path leads to through
// symbolic links, reading it whole with the checks that keep a hostile file
// from blocking or exhausting the caller, its lock, and replacing it
// atomically with its permissions kept.
#ifndef QXSOAP_PLATFORM_REGISTRY_FILE_H_
#define QXSOAP_PLATFORM_REGISTRY_FILE_H_

#include <cstddef>
#include <string>

#include "qxcom/types.h"

namespace qxcom {

// The largest store read or written, far above any registration's needs and
// low enough that a read cannot exhaust memory.
constexpr size_t kMaxStoreSize = size_t(64) << 20;

// Stores in *file the file that `path` leads to after following symbolic
// links (a relative link target is taken from the link's directory), so
// that a store reached through a link is read, locked and replaced at its
// target. A path or link target that does not exist is the file itself.
// ERROR_BADDB when the links loop or cannot be read.
LONG ResolveStoreFile(const std::string& path, std::string* file);

// Appends the whole contents of `file` to *text. ERROR_SUCCESS, also for a
// missing file (nothing is appended); ERROR_BADDB when it cannot be read,
// is not a regular file (a FIFO, device or directory: it is never read, so
// the call cannot block on it) or is larger than kMaxStoreSize.
LONG ReadStoreFile(const std::string& file, std::string* text);

// Writes `text` to a temporary file beside `file`, syncs it and renames it
// over `file`, so that readers see the old or the new contents whole. The
// new file keeps the permission bits of the one it replaces; a new store is
// readable and writable by its owner only (0600). ERROR_DISK_FULL when
// `text` is larger than kMaxStoreSize or the disk is full,
// ERROR_ACCESS_DENIED, ERROR_OUTOFMEMORY or ERROR_REGISTRY_IO_FAILED;
// `file` is unchanged on any error.
LONG ReplaceStoreFile(const std::string& file, const std::string& text);

// The exclusive lock on a store file, held from Acquire until destruction.
// It lives in the sidecar file "<file>.lock" because the store itself is
// replaced by every write; as flock locks belong to one open file, it also
// excludes other threads of this process.
class StoreLock {
 public:
  StoreLock() = default;
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  ~StoreLock();

  // Waits for the lock of `file`, creating its lock file and any missing
  // directory above it (0700, private as the store) as needed.
  // ERROR_ACCESS_DENIED, ERROR_DISK_FULL or ERROR_REGISTRY_IO_FAILED when
  // they cannot be made.
  LONG Acquire(const std::string& file);

 private:
  int fd_ = -1;
};

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_REGISTRY_FILE_H_
