#include "rpc/get_binding.h"

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "rpc/operation_parts.h"

namespace qxsoap {
namespace {

[[noreturn]] void RaiseGetError() {
  RaiseFault(FaultKind::kReceiver, u"Unexpected error handling SOAP GET request.", true);
}

void Append(MessageHandler& handler, std::u16string_view name, qxcom::Variant value, bool isIn,
            bool isOut) {
  if (handler.AddBoundMethodParam(name, std::move(value), isIn, isOut) != S_OK) RaiseGetError();
}

qxcom::Variant Text(std::u16string_view text) {
  qxcom::Variant value;
  V_VT(value.get()) = VT_BSTR;
  V_BSTR(value.get()) = SysAllocStringLen(text.data(), UINT(text.size()));
  if (!V_BSTR(value.get())) RaiseGetError();
  return value;
}

}  // namespace

bool BindGetRequest(MessageHandler& handler, PortDescription& port, std::u16string_view extraPath,
                    std::u16string_view queryString) {
  if (extraPath.size() < 2) return false;
  const std::u16string_view path = extraPath.substr(1);
  const size_t slash = path.find(u'/');
  const std::u16string_view name = path.substr(0, slash);
  const std::u16string_view rest = slash == std::u16string_view::npos ? u"" : path.substr(slash);

  const QueryArgument operation(name);
  const std::optional<std::u16string> operationNS = AskPortText(
      [&](BSTR* ns, VARIANT_BOOL* found) { return port.GetOperationNS(operation.get(), ns, found); });
  if (!operationNS) return false;
  handler.SetMethodNS(*operationNS);
  handler.SetMethodName(name);
  Append(handler, u"bstrExtraPath", Text(rest), true, false);
  Append(handler, u"bstrQueryString", Text(queryString), true, false);

  const OperationParts parts = WalkOperationParts(port, operation.get(), false);
  if (!parts.returnName.empty()) handler.SetReturnName(parts.returnName);
  for (const auto& [position, part] : parts.byPosition) {
    std::optional<qxcom::Variant> placeholder =
        Placeholder(port, operation.get(), part, PlaceholderRules::kEncoded);
    if (!placeholder) RaiseGetError();
    Append(handler, part, std::move(*placeholder), false, true);
  }
  return true;
}

}  // namespace qxsoap
