// host/serve/exchange_trace.h: one line per exchange saying what the handler
// bound and what went back: the operation with its parameters, then the out
// parameters and return value, or the fault. For a user watching a server
// (`qxsoap serve --trace`) and for the server's tests.
#ifndef QXSOAP_HOST_SERVE_EXCHANGE_TRACE_H_
#define QXSOAP_HOST_SERVE_EXCHANGE_TRACE_H_

#include <qxsoapmsg.h>

#include <string>

namespace qxsoap::host {

// "Method(name=value, ...)" from the handler's method name and parameters.
std::string DescribeCall(Iqxsoapmsg2& handler);

// "-> name=value, ... return=value" from the parameters and return value
// handed back, or "-> fault CODE: TEXT" when the handler holds a fault.
std::string DescribeAnswer(Iqxsoapmsg2& handler);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_EXCHANGE_TRACE_H_
