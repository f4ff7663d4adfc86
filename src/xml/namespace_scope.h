// The prefix-to-namespace map in force at an element, with its default
// namespace. Elements that declare nothing share their parent's map instead
// of copying it: a scope is a chain of immutable frames in the tree's
// memory, each holding the bindings one element added, and a new frame is
// made only where bindings change. So the work for a scope is proportional
// to the declarations that made it, never to the number of prefixes in
// force.
#ifndef QXSOAP_XML_NAMESPACE_SCOPE_H_
#define QXSOAP_XML_NAMESPACE_SCOPE_H_

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qxsoap {

class TreeMemory;

// Prefix → namespace URI, in prefix order. The empty prefix stands for a
// default namespace declared with `xmlns`.
using NamespaceMap = std::map<std::u16string, std::u16string, std::less<>>;

struct NamespaceBinding {
  std::u16string_view prefix;
  std::u16string_view uri;
};

// A cheap-to-copy handle on a complete, immutable namespace map. The views
// it hands out live as long as the tree whose memory holds its frames.
class NamespaceScope {
 public:
  // The empty map, with no default namespace.
  NamespaceScope() = default;

  // The scope every parsed root starts from: `xml` bound to its namespace.
  static NamespaceScope DocumentStart();

  // The URI bound to `prefix`, or nullptr when the prefix is not in scope.
  // The pointer is stable: URIs from one binding compare equal by address.
  const std::u16string_view* Find(std::u16string_view prefix) const;
  bool Contains(std::u16string_view prefix) const { return Find(prefix) != nullptr; }

  // The namespace of unprefixed element names here; empty for none.
  std::u16string_view DefaultNamespace() const;

  // The complete map in force, as a fresh copy.
  NamespaceMap ToMap() const;
  bool Empty() const { return !top_; }

  // This scope with `bindings` added (a prefix already in scope is
  // rebound) and the default namespace set to `*defaultNamespace` when
  // given. `bindings` must be sorted by prefix without repeats; they are
  // copied (not their text, which must live as long as the tree). The new
  // frame lives in `memory`. This scope itself is unchanged.
  NamespaceScope With(TreeMemory& memory, std::span<const NamespaceBinding> bindings,
                      const std::u16string_view* defaultNamespace) const;

  // This scope with `binding` added for a prefix that is not in scope. A
  // scope of one frame with nothing below it (the declarations of an
  // element built for output) grows into one such frame again, so that all
  // of a built element's declarations stay together where the writer
  // reads them. Otherwise as With.
  NamespaceScope WithBinding(TreeMemory& memory, const NamespaceBinding& binding) const;

  // The bindings of this scope that are not inherited from `base`, in
  // prefix order, the nearest binding of a prefix winning: for a scope made
  // from `base` by With, exactly the bindings With added, and for a scope of
  // one frame its bindings, handed out without a copy. Otherwise they are merged into `scratch`, which the
  // result then points into. When `base` is not an ancestor of this scope,
  // every binding.
  std::span<const NamespaceBinding> AddedTo(const NamespaceScope& base,
                                            std::vector<NamespaceBinding>& scratch) const;

  // True when both handles share one map, so that they hold the same
  // bindings without a comparison.
  bool SharesMapWith(const NamespaceScope& other) const { return top_ == other.top_; }
  // Equal for handles that share their map: a key for hashing.
  const void* MapIdentity() const { return top_; }

 private:
  struct Frame;
  explicit NamespaceScope(const Frame* top) : top_(top) {}

  const Frame* top_ = nullptr;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_NAMESPACE_SCOPE_H_
