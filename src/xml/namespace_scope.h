// The prefix-to-namespace map in force at an element. Elements that declare
// nothing share their parent's map instead of copying it: a scope is a chain
// of immutable frames, each holding the bindings one element added, and a
// new frame is made only where bindings change.
#ifndef QXSOAP_XML_NAMESPACE_SCOPE_H_
#define QXSOAP_XML_NAMESPACE_SCOPE_H_

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace qxsoap {

// Prefix → namespace URI, in prefix order. The empty prefix stands for a
// default namespace declared with `xmlns`.
using NamespaceMap = std::map<std::u16string, std::u16string, std::less<>>;

// A cheap-to-copy handle on a complete, immutable namespace map.
class NamespaceScope {
 public:
  // The empty map.
  NamespaceScope() = default;

  // The URI bound to `prefix`, or nullptr when the prefix is not in scope.
  // The pointer stays valid as long as any scope sharing this map lives.
  const std::u16string* Find(std::u16string_view prefix) const;
  bool Contains(std::u16string_view prefix) const { return Find(prefix) != nullptr; }

  // The complete map in force, as a fresh copy.
  NamespaceMap ToMap() const;
  bool Empty() const { return !top_; }

  // This map with `bindings` added; a prefix already in scope is rebound.
  // This scope itself is unchanged.
  NamespaceScope With(NamespaceMap bindings) const;

  // True when both handles share one map, so that they hold the same
  // bindings without a comparison.
  bool SharesMapWith(const NamespaceScope& other) const { return top_ == other.top_; }

 private:
  struct Frame;
  std::shared_ptr<const Frame> top_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_NAMESPACE_SCOPE_H_
