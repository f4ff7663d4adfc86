// Registry reads that object creation and ProgID lookup share.
#ifndef QXSOAP_PLATFORM_RUNTIME_LOOKUP_H_
#define QXSOAP_PLATFORM_RUNTIME_LOOKUP_H_

#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxcom {

// Reads the default value of HKEY_CLASSES_ROOT\<path> as text, up to its
// first null. *expandable (when not null) tells whether it is REG_EXPAND_SZ.
// ERROR_SUCCESS; ERROR_FILE_NOT_FOUND when the key or its default value is
// missing; ERROR_BADDB when the value is not text or the store is unreadable;
// or another registry error.
LONG ReadClassesRootText(const std::u16string& path, std::u16string* text,
                         bool* expandable = nullptr);

// The registry path of a class's key, "CLSID\{XXXXXXXX-...}".
std::u16string ClassKeyPath(REFCLSID clsid);

// Replaces each %NAME% by the value of the environment variable NAME, as
// REG_EXPAND_SZ values are read on Windows; unknown names are kept as written.
std::string ExpandEnvironment(std::string_view text);

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_RUNTIME_LOOKUP_H_
