// Namespace scopes as chains of immutable frames. Lookups walk the chain, so
// its length is capped: a frame that would make it longer than kMaxChain
// carries the whole map instead and starts a new chain.
#include "xml/namespace_scope.h"

namespace qxsoap {

namespace {
constexpr int kMaxChain = 8;
}  // namespace

struct NamespaceScope::Frame {
  std::shared_ptr<const Frame> parent;
  NamespaceMap bindings;
  int chainLength;
};

const std::u16string* NamespaceScope::Find(std::u16string_view prefix) const {
  for (const Frame* frame = top_.get(); frame; frame = frame->parent.get()) {
    if (auto found = frame->bindings.find(prefix); found != frame->bindings.end()) {
      return &found->second;
    }
  }
  return nullptr;
}

NamespaceMap NamespaceScope::ToMap() const {
  NamespaceMap map;
  // Nearer frames come first and win: insert never overwrites.
  for (const Frame* frame = top_.get(); frame; frame = frame->parent.get()) {
    map.insert(frame->bindings.begin(), frame->bindings.end());
  }
  return map;
}

NamespaceScope NamespaceScope::With(NamespaceMap bindings) const {
  NamespaceScope result;
  if (top_ && top_->chainLength >= kMaxChain) {
    NamespaceMap whole = ToMap();
    for (auto& [prefix, uri] : bindings) whole.insert_or_assign(prefix, std::move(uri));
    result.top_ = std::make_shared<const Frame>(Frame{nullptr, std::move(whole), 1});
    return result;
  }
  const int length = top_ ? top_->chainLength + 1 : 1;
  result.top_ = std::make_shared<const Frame>(Frame{top_, std::move(bindings), length});
  return result;
}

}  // namespace qxsoap
