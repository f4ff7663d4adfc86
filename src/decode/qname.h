// Resolution of QName-valued attribute content (xsi:type, itemType,
// arrayType) against the namespace scope of the element that carries it.
#ifndef QXSOAP_DECODE_QNAME_H_
#define QXSOAP_DECODE_QNAME_H_

#include <string_view>

#include "xml/namespace_scope.h"

namespace qxsoap {

// A name in a namespace; both views live as long as the tree they came from.
struct QName {
  std::u16string_view localName;
  std::u16string_view namespaceUri;
};

enum class QNameProblem {
  kNone,
  kUndeclaredPrefix,    // "p:x" with `p` not in scope
  kNoDefaultNamespace,  // "x" with no default namespace in scope
};

struct ResolvedQName {
  QName name;
  QNameProblem problem = QNameProblem::kNone;
};

// "p:x" names `x` (everything after the first colon) in the namespace bound
// to `p`; "x" names `x` in the default namespace.
// Inline: it runs for every typed accessor, and its result is handed back
// in registers rather than through memory.
inline ResolvedQName ResolveQName(std::u16string_view value, const NamespaceScope& scope) {
  const size_t colon = value.find(u':');
  if (colon == std::u16string_view::npos) {
    const std::u16string_view uri = scope.DefaultNamespace();
    if (uri.empty()) return {{}, QNameProblem::kNoDefaultNamespace};
    return {{value, uri}};
  }
  const std::u16string_view* uri = scope.Find(value.substr(0, colon));
  if (!uri) return {{}, QNameProblem::kUndeclaredPrefix};
  return {{value.substr(colon + 1), *uri}};
}

// Raises the Sender fault for `problem` (not kNone) in the value of the
// attribute called `attribute`, with a detail element when `needDetail`.
[[noreturn]] void RaiseQNameProblem(QNameProblem problem, std::u16string_view attribute,
                                    bool needDetail);

// As ResolveQName for an attribute called `attribute` ("type", "itemType",
// "arrayType"): a problem raises the Sender fault that names the attribute.
// Inline, so that a caller that only checks the value builds no result.
inline QName ResolveAttributeQName(std::u16string_view value, const NamespaceScope& scope,
                                   std::u16string_view attribute, bool needDetail) {
  const ResolvedQName resolved = ResolveQName(value, scope);
  if (resolved.problem != QNameProblem::kNone) {
    RaiseQNameProblem(resolved.problem, attribute, needDetail);
  }
  return resolved.name;
}

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_QNAME_H_
