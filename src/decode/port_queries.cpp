#include "decode/port_queries.h"

#include "model/fault_record.h"

namespace qxsoap {

qxcom::Bstr PortArgument(std::u16string_view text) {
  qxcom::Bstr argument(SysAllocStringLen(text.data(), UINT(text.size())));
  if (!argument.get()) RaiseFault(FaultKind::kReceiver, u"Internal error.", false);
  return argument;
}

}  // namespace qxsoap
