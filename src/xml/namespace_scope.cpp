// Namespace scopes as chains of immutable frames in tree memory. A lookup
// walks the chain; the reader's nesting limit bounds its length for parsed
// trees, and a built element's chain holds only its own declarations.
#include "xml/namespace_scope.h"

#include <algorithm>

#include "xml/namespaces.h"
#include "xml/same_text.h"
#include "xml/tree_memory.h"

namespace qxsoap {

struct NamespaceScope::Frame {
  const Frame* parent;
  const NamespaceBinding* bindings;  // sorted by prefix
  uint32_t count;
  std::u16string_view defaultNamespace;
};

namespace {

bool PrefixLess(const NamespaceBinding& binding, std::u16string_view prefix) {
  return binding.prefix < prefix;
}

// Frames up to this many bindings are scanned: a message's frames hold a
// handful, and prefixes of one frame mostly differ in length, which a scan
// tests first, where a binary search compares text at every step.
constexpr uint32_t kScannedFrameSize = 8;

const NamespaceBinding* FindInFrame(const NamespaceBinding* bindings, uint32_t count,
                                    std::u16string_view prefix) {
  const NamespaceBinding* end = bindings + count;
  if (count <= kScannedFrameSize) {
    for (const NamespaceBinding* binding = bindings; binding != end; ++binding) {
      if (SameText(binding->prefix, prefix)) return binding;
    }
    return nullptr;
  }
  const NamespaceBinding* found = std::lower_bound(bindings, end, prefix, PrefixLess);
  return found != end && found->prefix == prefix ? found : nullptr;
}

}  // namespace

NamespaceScope NamespaceScope::DocumentStart() {
  static constexpr NamespaceBinding kXml{u"xml", XML_NS};
  static constexpr Frame kStart{nullptr, &kXml, 1, {}};
  return NamespaceScope(&kStart);
}

const std::u16string_view* NamespaceScope::Find(std::u16string_view prefix) const {
  for (const Frame* frame = top_; frame; frame = frame->parent) {
    if (const NamespaceBinding* found = FindInFrame(frame->bindings, frame->count, prefix)) {
      return &found->uri;
    }
  }
  return nullptr;
}

std::u16string_view NamespaceScope::DefaultNamespace() const {
  return top_ ? top_->defaultNamespace : std::u16string_view();
}

NamespaceMap NamespaceScope::ToMap() const {
  NamespaceMap map;
  // Nearer frames come first and win: emplace never overwrites.
  for (const Frame* frame = top_; frame; frame = frame->parent) {
    for (const NamespaceBinding& binding : std::span(frame->bindings, frame->count)) {
      map.emplace(binding.prefix, binding.uri);
    }
  }
  return map;
}

NamespaceScope NamespaceScope::With(TreeMemory& memory, std::span<const NamespaceBinding> bindings,
                                    const std::u16string_view* defaultNamespace) const {
  auto* copied = memory.AllocateArray<NamespaceBinding>(bindings.size());
  std::copy(bindings.begin(), bindings.end(), copied);
  auto* frame = memory.AllocateArray<Frame>(1);
  *frame = {top_, copied, uint32_t(bindings.size()),
            defaultNamespace ? *defaultNamespace : DefaultNamespace()};
  return NamespaceScope(frame);
}

NamespaceScope NamespaceScope::WithBinding(TreeMemory& memory,
                                           const NamespaceBinding& binding) const {
  if (!top_ || top_->parent) return With(memory, {&binding, 1}, nullptr);
  const std::span<const NamespaceBinding> own(top_->bindings, top_->count);
  auto* merged = memory.AllocateArray<NamespaceBinding>(own.size() + 1);
  const auto at = std::lower_bound(own.begin(), own.end(), binding.prefix, PrefixLess);
  NamespaceBinding* next = std::copy(own.begin(), at, merged);
  *next++ = binding;
  std::copy(at, own.end(), next);
  auto* frame = memory.AllocateArray<Frame>(1);
  *frame = {nullptr, merged, uint32_t(own.size() + 1), top_->defaultNamespace};
  return NamespaceScope(frame);
}

std::span<const NamespaceBinding> NamespaceScope::AddedTo(
    const NamespaceScope& base, std::vector<NamespaceBinding>& scratch) const {
  if (!top_ || top_ == base.top_) return {};
  // One frame on top of `base`, or a lone frame (a built element's own
  // declarations): its bindings are sorted and distinct.
  if (top_->parent == base.top_ || !top_->parent) return {top_->bindings, top_->count};
  scratch.clear();
  // When `base` is not an ancestor the walk reaches the end and takes all.
  for (const Frame* frame = top_; frame && frame != base.top_; frame = frame->parent) {
    scratch.insert(scratch.end(), frame->bindings, frame->bindings + frame->count);
  }
  // Nearest first, so a stable sort keeps the winning binding first. The
  // usual chain is a built element's few declarations of one binding each:
  // sorted by insertion, without the buffer std::stable_sort allocates.
  const auto byPrefix = [](const NamespaceBinding& a, const NamespaceBinding& b) { return a.prefix < b.prefix; };
  constexpr size_t kInsertionSortLimit = 32;
  if (scratch.size() <= kInsertionSortLimit) {
    for (auto next = scratch.begin(); next != scratch.end(); ++next) {
      std::rotate(std::upper_bound(scratch.begin(), next, *next, byPrefix), next, next + 1);
    }
  } else {
    std::stable_sort(scratch.begin(), scratch.end(), byPrefix);
  }
  scratch.erase(std::unique(scratch.begin(), scratch.end(),
                            [](const NamespaceBinding& a, const NamespaceBinding& b) {
                              return a.prefix == b.prefix;
                            }),
                scratch.end());
  return scratch;
}

}  // namespace qxsoap
