// host/serve/exchange_steps.h: the steps of an exchange that answer the call
// once the handler has bound it, shared by the POST and GET paths.
#ifndef QXSOAP_HOST_SERVE_EXCHANGE_STEPS_H_
#define QXSOAP_HOST_SERVE_EXCHANGE_STEPS_H_

#include <qxsoapmsg.h>

#include <string>
#include <string_view>

#include "host/serve/http_server.h"
#include "host/serve/soap_exchange.h"
#include "qxcom/owned.h"

namespace qxsoap::host {

// A new BSTR holding `text` (the owner frees it).
qxcom::Bstr MakeBstr(std::u16string_view text);

enum class FaultSide { kSender, kReceiver };

// Records a fault on the handler in its message's SOAP version: Client or
// Server in SOAP 1.1, Sender or Receiver in SOAP 1.2, with `reason`.
void SetFault(Iqxsoapmsg2& handler, FaultSide side, std::u16string_view reason);

// Runs the bound rpc call: reads the method and its parameters from the
// handler, calls the service and hands back the out parameters and the
// return value, or records the service's failure as a Receiver fault.
// A GET call (`arguments` not null) takes its parameter values from the
// query arguments named like the parts.
void AnswerRpcCall(const ExchangeSetup& setup, Iqxsoapmsg2& handler, const HttpFields* arguments);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_EXCHANGE_STEPS_H_
