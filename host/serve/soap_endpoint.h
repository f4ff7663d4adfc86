// host/serve/soap_endpoint.h: what a SOAP server answers each HTTP request
// with: the WSDL at `?wsdl`, the service page at `/`, SOAP calls by POST at
// the service path, rpc calls by GET below it, and the transport errors
// (400, 404, 405, 415).
#ifndef QXSOAP_HOST_SERVE_SOAP_ENDPOINT_H_
#define QXSOAP_HOST_SERVE_SOAP_ENDPOINT_H_

#include <string>

#include "host/serve/http_server.h"
#include "host/serve/soap_exchange.h"

namespace qxsoap::host {

class SoapEndpoint {
 public:
  // `servicePath` is the path of the port's address ("/" when it has none);
  // `wsdl` the WSDL file's text and `portName` the port it serves (empty:
  // the first with a SOAP address); `servicePage` the HTML answered to a
  // GET of "/" (service_page.h).
  SoapEndpoint(ExchangeSetup setup, std::string servicePath, std::string wsdl, std::string portName,
               std::string servicePage);

  // Answers one request. Safe to call from several threads at once.
  HttpResponse Handle(const HttpRequest& request) const;

 private:
  HttpResponse Post(const HttpRequest& request) const;
  HttpResponse Wsdl(const HttpRequest& request) const;
  bool IsBelowService(const std::string& path) const;

  ExchangeSetup setup_;
  std::string servicePath_, wsdl_, portName_, servicePage_;
};

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_SOAP_ENDPOINT_H_
