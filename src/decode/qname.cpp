#include "decode/qname.h"

#include <string>

#include "model/fault_record.h"

namespace qxsoap {

void RaiseQNameProblem(QNameProblem problem, std::u16string_view attribute, bool needDetail) {
  std::u16string message = problem == QNameProblem::kUndeclaredPrefix
                               ? u"Encountered undeclared namespace prefix for attribute '"
                               : u"Encountered unresolvable namespace for attribute '";
  message.append(attribute).append(u"' on element.");
  RaiseFault(FaultKind::kSender, std::move(message), needDetail);
}

}  // namespace qxsoap
