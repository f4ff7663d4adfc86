// host/serve/soap_exchange.h: one SOAP exchange as a server runs it: a new
// handler object, the request in, the service called, the response out,
// and the HTTP status that goes with it.
#ifndef QXSOAP_HOST_SERVE_SOAP_EXCHANGE_H_
#define QXSOAP_HOST_SERVE_SOAP_EXCHANGE_H_

#include <qxsoapmsg.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "host/serve/http_server.h"

namespace qxsoap::host {

// What every exchange of one server shares. The objects are used by many
// threads at once: the two factories create a new object for each exchange
// on the thread that runs it, and the port description only reads.
struct ExchangeSetup {
  IClassFactory* handlers = nullptr;  // makes qxsoapmsg2 handler objects
  IClassFactory* services = nullptr;  // makes the service object
  PortDescription* port = nullptr;
  // The port is the rpc view of a document/literal wrapped one (see
  // host/wrapped_document.h): the response wrapper's members are out-only
  // parameters, and the service's return value is theirs.
  bool documentView = false;
  std::u16string portName;
  std::u16string nodeURI;  // the URL the service is served at
  int soapVersion = 11;    // of the port's binding
  std::FILE* trace = nullptr;  // when set, one line per exchange (exchange_trace.h)
};

struct ExchangeReply {
  int status = 500;
  std::string contentType;
  std::string body;
};

// A POST: `body` is the SOAP request, `action` the SOAPAction taken from
// the HTTP headers. 200 with the response, 500 with a fault, 202 and no
// body when the call was one-way (the operation has no output message).
ExchangeReply ExchangePost(const ExchangeSetup& setup, std::string_view action, std::string_view body);

// A GET at `extraPath` below the service URL, e.g. "/Add" with query
// "a=1&b=2": the operation named by the path, its parameters from the
// query arguments of the same names. 404 when the path names no operation.
ExchangeReply ExchangeGet(const ExchangeSetup& setup, std::string_view extraPath, std::string_view query,
                          const HttpFields& arguments);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_SOAP_EXCHANGE_H_
