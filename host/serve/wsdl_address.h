// host/serve/wsdl_address.h: the WSDL text a server answers `?wsdl` with:
// the file as written, with the SOAP address of the served port pointing at
// the URL the server actually listens on.
#ifndef QXSOAP_HOST_SERVE_WSDL_ADDRESS_H_
#define QXSOAP_HOST_SERVE_WSDL_ADDRESS_H_

#include <optional>
#include <string>
#include <string_view>

namespace qxsoap::host {

// Returns `wsdl` with the `location` of the SOAP 1.1 or 1.2 `address` of port
// `portName` (empty: the first port that has one, as LoadWsdlPort picks it)
// replaced by `location`, escaped for an attribute. Everything else,
// comments and layout included, is kept byte for byte. Returns nothing when
// no such address is found (a port of another binding, or text that ends
// inside a tag).
std::optional<std::string> RewriteWsdlAddress(std::string_view wsdl, std::string_view portName,
                                              std::string_view location);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_WSDL_ADDRESS_H_
