// The registry calls of qxcom's own: transactions and the store's path.
#include <cstring>
#include <string>

#include "platform/registry_store.h"
#include "platform/runtime_guard.h"
#include "qxcom/registry.h"

LONG QxRunRegistryTransaction(QxRegistryWork work, void* context) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (!work) return ERROR_INVALID_PARAMETER;
    return qxcom::RunRegistryTransaction([&] { return work(context); });
  });
}

LONG QxGetRegistryFile(char* path, LPDWORD size) {
  return qxcom::Guarded(LONG(ERROR_OUTOFMEMORY), [&]() -> LONG {
    if (!size) return ERROR_INVALID_PARAMETER;
    std::string file = qxcom::RegistryStorePath();
    if (file.empty()) return ERROR_REGISTRY_IO_FAILED;
    DWORD needed = DWORD(file.size() + 1);
    if (path && *size < needed) {
      *size = needed;
      return ERROR_MORE_DATA;
    }
    if (path) std::memcpy(path, file.c_str(), needed);
    *size = needed;
    return ERROR_SUCCESS;
  });
}
