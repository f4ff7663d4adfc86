// host/serve/soap_action.h: what the HTTP headers of a SOAP POST say about the
// message: the SOAP version its Content-Type announces and the SOAPAction to
// hand to the handler's Initialize.
#ifndef QXSOAP_HOST_SERVE_SOAP_ACTION_H_
#define QXSOAP_HOST_SERVE_SOAP_ACTION_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qxsoap::host {

// A Content-Type value: the type/subtype in lower case and the parameters,
// names in lower case, values unquoted and unescaped.
struct MediaType {
  std::string type;
  std::map<std::string, std::string> parameters;
};

// Reads `type/subtype *(; name=value)` with token or quoted-string values.
// Returns nothing when the text is not a media type.
std::optional<MediaType> ParseMediaType(std::string_view text);

// The SOAP version a media type carries: 11 for text/xml, 12 for
// application/soap+xml, 0 for anything else.
int SoapVersionOf(const MediaType& media);

// The SOAPAction as the handler compares it. SOAP 1.1: the SOAPAction
// header without its surrounding quotes (`""` is the empty string; a
// missing header too). SOAP 1.2: the `action` parameter of the media type,
// else the SOAPAction header as for SOAP 1.1. `soapActionHeader` is null
// when the request has none.
std::string SoapActionOf(int version, const MediaType& media, const char* soapActionHeader);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_SOAP_ACTION_H_
