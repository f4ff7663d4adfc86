#include "decode/qname.h"

#include <string>

#include "model/fault_record.h"

namespace qxsoap {

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
