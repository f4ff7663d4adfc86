// The HTTP exchanges of `qxsoap call`, on libcurl: one GET for the WSDL and
// one POST for the call, each on a connection of its own. Redirects are not
// followed: a SOAP endpoint answers where it is.
#ifndef QXSOAP_CLI_HTTP_CLIENT_H_
#define QXSOAP_CLI_HTTP_CLIENT_H_

#include <string>
#include <vector>

namespace qxsoap::cli {

struct HttpResponse {
  long status = 0;
  std::string contentType;  // as sent; empty when the answer has none
  std::string body;
};

// GETs `url` into *response and returns true; returns false with a one-line
// reason in *error when no HTTP answer came (no connection, timeout, bad
// URL). Any HTTP status is an answer.
bool HttpGet(const std::string& url, HttpResponse* response, std::string* error);

// POSTs `body` to `url` with the header lines `headers` ("Name: value"), as
// HttpGet otherwise.
bool HttpPost(const std::string& url, const std::string& body, const std::vector<std::string>& headers,
              HttpResponse* response, std::string* error);

}  // namespace qxsoap::cli

#endif  // QXSOAP_CLI_HTTP_CLIENT_H_
