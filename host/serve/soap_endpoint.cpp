// Routing a request by path and method, and the checks a SOAP POST passes
// before a handler sees it.
#include "host/serve/soap_endpoint.h"

#include <strings.h>

#include "host/serve/soap_action.h"
#include "host/serve/wsdl_address.h"

namespace qxsoap::host {
namespace {

HttpResponse Plain(int status, std::string text) { return {status, "text/plain", std::move(text) + "\n"}; }

HttpResponse FromExchange(ExchangeReply reply) {
  return {reply.status, std::move(reply.contentType), std::move(reply.body)};
}

bool AsksForWsdl(const HttpRequest& request) { return strcasecmp(request.query.c_str(), "wsdl") == 0; }

}  // namespace

SoapEndpoint::SoapEndpoint(ExchangeSetup setup, std::string servicePath, std::string wsdl, std::string portName,
                           std::string servicePage)
    : setup_(std::move(setup)),
      servicePath_(std::move(servicePath)),
      wsdl_(std::move(wsdl)),
      portName_(std::move(portName)),
      servicePage_(std::move(servicePage)) {}

bool SoapEndpoint::IsBelowService(const std::string& path) const {
  if (servicePath_ == "/") return path.size() > 1;
  return path.size() > servicePath_.size() + 1 && path.starts_with(servicePath_) && path[servicePath_.size()] == '/';
}

HttpResponse SoapEndpoint::Handle(const HttpRequest& request) const {
  const bool atService = request.path == servicePath_;
  const bool atRoot = request.path == "/";
  const bool below = IsBelowService(request.path);
  if (!atService && !atRoot && !below) return Plain(404, "not found");
  const bool get = request.method == "GET", post = request.method == "POST";
  if (get && AsksForWsdl(request) && (atService || atRoot)) return Wsdl(request);
  if (post && atService) return Post(request);
  if (!get) return Plain(405, "method not allowed");
  if (below) {
    const std::string extraPath = request.path.substr(servicePath_ == "/" ? 0 : servicePath_.size());
    return FromExchange(ExchangeGet(setup_, extraPath, request.query, request.arguments));
  }
  if (atRoot) return {200, "text/html; charset=utf-8", servicePage_};
  return Plain(404, "not found");
}

HttpResponse SoapEndpoint::Post(const HttpRequest& request) const {
  const std::string* contentType = request.Header("Content-Type");
  if (!contentType) return Plain(415, "a SOAP request needs a Content-Type");
  const std::optional<MediaType> media = ParseMediaType(*contentType);
  if (!media) return Plain(400, "malformed Content-Type");
  const int version = SoapVersionOf(*media);
  if (version != setup_.soapVersion) {
    return Plain(415, setup_.soapVersion == 11 ? "this service takes SOAP 1.1: text/xml"
                                               : "this service takes SOAP 1.2: application/soap+xml");
  }
  const std::string* soapAction = request.Header("SOAPAction");
  const std::string action = SoapActionOf(version, *media, soapAction ? soapAction->c_str() : nullptr);
  return FromExchange(ExchangePost(setup_, action, request.body));
}

HttpResponse SoapEndpoint::Wsdl(const HttpRequest& request) const {
  const std::string* host = request.Header("Host");
  std::string location;
  if (host) {
    location = "http://" + *host + servicePath_;
  } else {
    for (char16_t unit : setup_.nodeURI) location += char(unit);  // built from ASCII by the server
  }
  const std::optional<std::string> rewritten = RewriteWsdlAddress(wsdl_, portName_, location);
  return {200, "text/xml; charset=utf-8", rewritten ? *rewritten : wsdl_};
}

}  // namespace qxsoap::host
