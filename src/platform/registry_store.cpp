// The registry store: lookup of its path, cached reads, locked
// read-change-replace updates and transactions that batch them.
#include "platform/registry_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/registry_file.h"
#include "platform/registry_format.h"
#include "qxcom/winerror.h"

namespace qxcom {
namespace {

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

// The file the configured store path leads to.
LONG FindStoreFile(std::string* file) {
  std::string path = RegistryStorePath();
  if (path.empty()) return ERROR_REGISTRY_IO_FAILED;
  return ResolveStoreFile(path, file);
}

// The store locked for a change: its file, its text when read and its
// contents, which the change edits in place.
struct LockedStore {
  StoreLock lock;
  std::string file;
  std::string before;
  std::shared_ptr<RegistryTree> tree = std::make_shared<RegistryTree>();
};

LONG LockAndRead(LockedStore* store) {
  if (LONG error = FindStoreFile(&store->file)) return error;
  if (LONG error = store->lock.Acquire(store->file)) return error;
  if (LONG error = ReadStoreFile(store->file, &store->before)) return error;
  return ParseRegistry(store->before, store->tree.get()) ? ERROR_SUCCESS : ERROR_BADDB;
}

LONG WriteBackIfChanged(const LockedStore& store) {
  std::string after = FormatRegistry(*store.tree);
  return after == store.before ? ERROR_SUCCESS : ReplaceStoreFile(store.file, after);
}

// The transaction running on this thread, if any. Being per thread, it
// leaves the calls of other threads to the store itself: their reads see
// the last committed file and their changes wait for the lock.
thread_local LockedStore* transaction = nullptr;

// The last store read and its parse. Comparing whole texts rather than file
// times or inode numbers keeps a reader from ever seeing a stale tree.
struct ParsedStore {
  std::string file;
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
  if (transaction) {
    *tree = transaction->tree;
    return ERROR_SUCCESS;
  }
  std::string file;
  if (LONG error = FindStoreFile(&file)) return error;
  std::string text;
  if (LONG error = ReadStoreFile(file, &text)) return error;
  {
    std::lock_guard lock(lastReadMutex);
    if (lastRead.tree && lastRead.file == file && lastRead.text == text) {
      *tree = lastRead.tree;
      return ERROR_SUCCESS;
    }
  }
  auto parsed = std::make_shared<RegistryTree>();
  if (!ParseRegistry(text, parsed.get())) return ERROR_BADDB;
  std::lock_guard lock(lastReadMutex);
  lastRead = {std::move(file), std::move(text), parsed};
  *tree = std::move(parsed);
  return ERROR_SUCCESS;
}

LONG UpdateRegistry(const std::function<LONG(RegistryTree&)>& change) {
  if (transaction) return change(*transaction->tree);
  LockedStore store;
  if (LONG error = LockAndRead(&store)) return error;
  if (LONG error = change(*store.tree)) return error;
  return WriteBackIfChanged(store);
}

LONG RunRegistryTransaction(const std::function<LONG()>& work) {
  // A nested transaction could not roll back on its own; refusing it keeps
  // every transaction all-or-nothing.
  if (transaction) return ERROR_BUSY;
  LockedStore store;
  if (LONG error = LockAndRead(&store)) return error;
  struct Running {
    explicit Running(LockedStore* store) { transaction = store; }
    ~Running() { transaction = nullptr; }
  };
  LONG error;
  {
    Running running(&store);
    error = work();
  }
  return error ? error : WriteBackIfChanged(store);
}

}  // namespace qxcom
