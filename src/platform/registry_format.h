// The registry store's text format (described in qxcom/registry.h): reading
// it into a RegistryTree and writing a tree back.
#ifndef QXSOAP_PLATFORM_REGISTRY_FORMAT_H_
#define QXSOAP_PLATFORM_REGISTRY_FORMAT_H_

#include <string>
#include <string_view>

#include "platform/registry_tree.h"

namespace qxcom {

// Levels of keys below a root, as Windows limits them; it also bounds the
// recursion over the tree.
constexpr size_t kMaxKeyDepth = 512;

// Reads store text into *tree, which must be empty. Empty text is an empty
// registry. Returns false when the text is not a well-formed store; *tree
// then holds an unspecified part of it.
bool ParseRegistry(std::string_view text, RegistryTree* tree);

// Writes the whole tree as store text; ParseRegistry reads it back equal.
// Stops soon after the text grows past kMaxStoreSize, which no store file
// may be (ReplaceStoreFile refuses it).
std::string FormatRegistry(const RegistryTree& tree);

// Whether `name` may name a key: 1 to 255 UTF-16 units, no backslash, no
// control character and no lone surrogate.
bool IsValidKeyName(std::u16string_view name);

}  // namespace qxcom

#endif  // QXSOAP_PLATFORM_REGISTRY_FORMAT_H_
