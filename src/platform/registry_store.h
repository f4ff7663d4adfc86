// The registry store file: where it is, reading it, and changing it under
// a lock with an atomic replace (see qxcom/registry.h).
#ifndef QXSOAP_PLATFORM_REGISTRY_STORE_H_
#define QXSOAP_PLATFORM_REGISTRY_STORE_H_

#include <functional>
#include <memory>
#include <string>

#include "platform/registry_tree.h"
#include "qxcom/types.h"

namespace qxcom {

// The path of the store file, or an empty string when there is no
// QXCOM_REGISTRY, no XDG_CONFIG_HOME and no home directory.
std::string RegistryStorePath();

// Reads the store and stores its contents in *tree, which may be shared
// with other readers: the file is read on every call, but parsed only when
// its text differs from the last text read. ERROR_SUCCESS (a missing file
// is an empty registry), ERROR_BADDB for a file that cannot be read or
// parsed, ERROR_REGISTRY_IO_FAILED when there is no store path.
LONG LoadRegistry(std::shared_ptr<const RegistryTree>* tree);

// Reads the store under its lock, runs `change` on it and, when `change`
// returns ERROR_SUCCESS and the contents changed, writes them back whole.
// Returns the error of `change`, of reading (as LoadRegistry) or of writing
// (ERROR_ACCESS_DENIED, ERROR_DISK_FULL, ERROR_OUTOFMEMORY or
// ERROR_REGISTRY_IO_FAILED); the store is unchanged on any error.
LONG UpdateRegistry(const std::function<LONG(RegistryTree&)>& change);

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_REGISTRY_STORE_H_
