// The steps of `qxsoap call` before the request goes out: the port read
// from the service's WSDL, and the call's parameters checked against it
// and handed to the handler that writes the request.
#ifndef QXSOAP_CLI_CALL_STEPS_H_
#define QXSOAP_CLI_CALL_STEPS_H_

#include <span>
#include <string>
#include <vector>

#include "frame/message_handler.h"
#include "qxcom/owned.h"
#include "qxsoap/port_description.h"

namespace qxsoap::cli {

// A failure the command reports as one line on standard error, exit 2.
struct CallError {
  std::string message;
};

// The port of the service at `url`, as `qxsoap serve` would load it.
struct CallPort {
  qxcom::ComPtr<PortDescription> port;
  bool documentView = false;  // a wrapped document port seen as rpc
  int soapVersion = 11;       // 11 or 12, by the binding
};

// GETs `url`?wsdl and loads the port it describes (the first SOAP port).
// Throws CallError when there is no answer, the answer is not 200, or the
// WSDL does not load.
CallPort FetchPort(const std::string& url);

// One NAME=VALUE argument: the name as the port's names are kept, the
// value as given (UTF-8).
struct CallArgument {
  std::u16string name;
  std::string value;
};

// The NAME=VALUE arguments; throws CallError for one with no '=' or no name.
std::vector<CallArgument> ParseCallArguments(std::span<char* const> args);

// Sets the handler's method name and namespace to `operation`'s and adds
// its input parameters from `arguments`, in the order of the operation's
// input parts. Every input part must be given exactly once (an empty value
// is "NAME="), and each must be of a built-in simple type. Values of
// boolean, date, time, dateTime, base64Binary and hexBinary parts are read
// here, as the writer wants them typed; the others go as the text given,
// which the service then reads (and refuses, when it must). Throws
// CallError naming the unknown operation, the unknown, repeated or missing
// parameter, or the value that cannot be given as text.
void AddCallParameters(MessageHandler& handler, PortDescription& port, const std::u16string& operation,
                       const std::vector<CallArgument>& arguments);

}  // namespace qxsoap::cli

#endif  // QXSOAP_CLI_CALL_STEPS_H_
