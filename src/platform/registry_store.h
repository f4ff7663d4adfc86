// The registry store: where it is, reading it, and changing it under its
// lock, one call at a time or as one transaction (see qxcom/registry.h).
#ifndef QXSOAP_PLATFORM_REGISTRY_STORE_H_
#define QXSOAP_PLATFORM_REGISTRY_STORE_H_

#include <functional>
#include <memory>
#include <string>

#include "platform/registry_tree.h"
#include "qxcom/types.h"

namespace qxcom {

// The path of the store file as configured (a symbolic link not followed),
// or an empty string when there is no QXCOM_REGISTRY, no XDG_CONFIG_HOME
// and no home directory.
std::string RegistryStorePath();

// Reads the store and stores its contents in *tree, which may be shared
// with other readers: the file is read on every call, but parsed only when
// its text differs from the last text read. Inside a transaction on this
// thread, *tree is the transaction's uncommitted tree instead. ERROR_SUCCESS
// (a missing file is an empty registry), ERROR_BADDB for a file that cannot
// be read or parsed, ERROR_REGISTRY_IO_FAILED when there is no store path.
LONG LoadRegistry(std::shared_ptr<const RegistryTree>* tree);

// Reads the store under its lock, runs `change` on it and, when `change`
// returns ERROR_SUCCESS and the contents changed, writes them back whole.
// `change` must leave the tree as it found it when it fails. Inside a
// transaction on this thread, `change` is applied to the transaction's tree
// only. Returns the error of `change`, of reading (as LoadRegistry) or of
// writing (as ReplaceStoreFile); the store is unchanged on any error.
LONG UpdateRegistry(const std::function<LONG(RegistryTree&)>& change);

// Runs `work` as one transaction, as QxRunRegistryTransaction describes.
LONG RunRegistryTransaction(const std::function<LONG()>& work);

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_REGISTRY_STORE_H_
