#include "decode/qname.h"

#include <string>

#include "model/fault_record.h"

namespace qxsoap {

ResolvedQName ResolveQName(std::u16string_view value, const NamespaceScope& scope) {
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

QName ResolveAttributeQName(std::u16string_view value, const NamespaceScope& scope,
                            std::u16string_view attribute, bool needDetail) {
  const ResolvedQName resolved = ResolveQName(value, scope);
  if (resolved.problem == QNameProblem::kNone) return resolved.name;
  std::u16string message = resolved.problem == QNameProblem::kUndeclaredPrefix
                               ? u"Encountered undeclared namespace prefix for attribute '"
                               : u"Encountered unresolvable namespace for attribute '";
  message.append(attribute).append(u"' on element.");
  RaiseFault(FaultKind::kSender, std::move(message), needDetail);
}

}  // namespace qxsoap
