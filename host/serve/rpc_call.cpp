// An rpc call answered by the service: the parameters the handler bound go
// to the service method of the operation's name, in order; what comes back
// goes to the handler for the response.
#include <algorithm>
#include <optional>
#include <vector>

#include "host/serve/exchange_steps.h"
#include "host/serve/service_call.h"
#include "platform/string_conversion.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

std::u16string Take(BSTR text) {
  const qxcom::Bstr owned(text);
  return {text ? text : u"", SysStringLen(text)};
}

bool IsTrue(VARIANT_BOOL flag) { return flag == VARIANT_TRUE; }

std::vector<ServiceArgument> ReadParameters(Iqxsoapmsg2& handler) {
  std::vector<ServiceArgument> parameters;
  BSTR ns = nullptr, name = nullptr;
  qxcom::Variant content;
  VARIANT_BOOL in = VARIANT_FALSE, out = VARIANT_FALSE, more = VARIANT_FALSE;
  LONG position = 0;
  for (handler.GetFirstMethodParam(&ns, &name, content.get(), &in, &out, &position, &more); IsTrue(more);
       handler.GetNextMethodParam(&ns, &name, content.get(), &in, &out, &position, &more)) {
    ServiceArgument& parameter = parameters.emplace_back();
    parameter.ns = Take(ns);
    parameter.name = Take(name);
    // The handler hands out a copy of its own, so the parameter takes it
    // as it is rather than copying it again (a large array or string
    // would be copied element by element).
    content.Detach(parameter.value.get());
    parameter.in = IsTrue(in);
    parameter.out = IsTrue(out);
  }
  return parameters;
}

// A GET binds the extra path and the query as two strings, then one empty
// value of the part's type for every part, each marked out. The service
// takes the parts: their values from the query arguments of the same name,
// their directions from the port.
std::optional<std::u16string> FillGetParameters(const ExchangeSetup& setup, const std::u16string& method,
                                                const HttpFields& arguments,
                                                std::vector<ServiceArgument>& parameters) {
  constexpr size_t kPathAndQuery = 2;
  parameters.erase(parameters.begin(), parameters.begin() + std::min(kPathAndQuery, parameters.size()));
  const qxcom::Bstr operation = MakeBstr(method);
  for (ServiceArgument& part : parameters) {
    const qxcom::Bstr partName = MakeBstr(part.name);
    VARIANT_BOOL in = VARIANT_FALSE, out = VARIANT_FALSE;
    setup.port->IsInParameter(operation.get(), partName.get(), &in);
    setup.port->IsOutParameter(operation.get(), partName.get(), &out);
    part.in = IsTrue(in);
    part.out = IsTrue(out);
    const std::string utf8Name = qxcom::ToUtf8(part.name);
    auto given = std::find_if(arguments.begin(), arguments.end(), [&](const auto& field) { return field.first == utf8Name; });
    if (given == arguments.end()) continue;
    qxcom::Variant text;
    V_VT(text.get()) = VT_BSTR;
    V_BSTR(text.get()) = MakeBstr(qxcom::ToUtf16(given->second)).release();
    const VARTYPE type = V_VT(part.value.get());
    const VARTYPE wanted = type == VT_EMPTY ? VARTYPE(VT_BSTR) : type;
    if (FAILED(VariantChangeType(part.value.get(), text.get(), 0, wanted))) {
      return u"parameter " + part.name + u" cannot be read from \"" + qxcom::ToUtf16(given->second) + u"\"";
    }
  }
  return std::nullopt;
}

// A one-way operation (no output message, so no output use) has no response.
bool IsOneWay(const ExchangeSetup& setup, const std::u16string& method) {
  BSTR use = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  setup.port->GetOutputUse(MakeBstr(method).get(), &use, &found);
  SysFreeString(use);
  return !IsTrue(found);
}

// Hands the out parameters back in their order, then the return value;
// through a document view the return value is the value of the out-only
// parameter (the response wrapper's member) instead.
void HandBack(const ExchangeSetup& setup, Iqxsoapmsg2& handler, std::vector<ServiceArgument>& parameters,
              ServiceOutcome& outcome) {
  handler.ClearMethodParams();
  VARIANT_BOOL added = VARIANT_FALSE;
  for (ServiceArgument& parameter : parameters) {
    if (!parameter.out) continue;
    const VARIANT& value = setup.documentView && !parameter.in ? *outcome.result.get() : *parameter.value.get();
    handler.AddMethodParam(MakeBstr(parameter.ns).get(), MakeBstr(parameter.name).get(), value,
                           parameter.in ? VARIANT_TRUE : VARIANT_FALSE, VARIANT_TRUE, &added);
  }
  if (!setup.documentView) handler.SetReturnValue(*outcome.result.get());
  // The answer is written as a response: the wrapper named with
  // "Response", the parts typed by the output message.
  handler.SetRequestPhase(VARIANT_FALSE);
}

}  // namespace

void AnswerRpcCall(const ExchangeSetup& setup, Iqxsoapmsg2& handler, const HttpFields* arguments) {
  BSTR name = nullptr;
  handler.GetMethodName(&name);
  const std::u16string method = Take(name);
  std::vector<ServiceArgument> parameters = ReadParameters(handler);
  if (arguments) {
    if (auto unreadable = FillGetParameters(setup, method, *arguments, parameters)) {
      SetFault(handler, FaultSide::kSender, *unreadable);
      return;
    }
  }
  qxcom::ComPtr<IDispatch> service;
  if (FAILED(setup.services->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(service.put())))) {
    SetFault(handler, FaultSide::kReceiver, u"the service object cannot be created");
    return;
  }
  // Through a document view the service takes the request wrapper's
  // members only; the response's come from its return value.
  std::vector<ServiceArgument> passed;
  std::vector<ServiceArgument> results;
  for (ServiceArgument& parameter : parameters) {
    (setup.documentView && !parameter.in ? results : passed).push_back(std::move(parameter));
  }
  ServiceOutcome outcome = CallService(*service.get(), method, passed);
  if (!outcome.succeeded) {
    SetFault(handler, FaultSide::kReceiver, outcome.failure);
    return;
  }
  for (ServiceArgument& result : results) passed.push_back(std::move(result));
  HandBack(setup, handler, passed, outcome);
  if (IsOneWay(setup, method)) handler.SetNoContentResponse(VARIANT_TRUE);
}

}  // namespace qxsoap::host
