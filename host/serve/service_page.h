// host/serve/service_page.h: the HTML page a server answers GET / with: the
// operations of the served port with their parameters, results and schema
// types, a link to the WSDL, and for each operation whose parameters are all
// of simple types a form that calls it with a SOAP POST from the browser and
// shows the response envelope.
#ifndef QXSOAP_HOST_SERVE_SERVICE_PAGE_H_
#define QXSOAP_HOST_SERVE_SERVICE_PAGE_H_

#include <string>
#include <vector>

#include "qxsoap/port_description.h"

namespace qxsoap::host {

struct ServicePageSetup {
  std::string servicePath;                  // where the forms POST; the WSDL is at servicePath?wsdl
  int soapVersion = 11;                     // of the port's binding: 11 or 12
  std::vector<std::u16string> operations;  // listed in this order
};

// The page, UTF-8 HTML. Everything taken from `port` or `setup` is escaped,
// so no name or namespace can change the page's markup. Reads `port` only.
std::string BuildServicePage(PortDescription& port, const ServicePageSetup& setup);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_SERVICE_PAGE_H_
