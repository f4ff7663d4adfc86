// Calls made by HTTP GET: there is no envelope; the operation is the first
// segment of the extra path, and the host receives the rest of the path and
// the query string as two text parameters, followed by an empty typed
// placeholder for every parameter part of the operation.
#ifndef QXSOAP_RPC_GET_BINDING_H_
#define QXSOAP_RPC_GET_BINDING_H_

#include <string_view>

#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler;

// False, with nothing changed, for an extra path shorter than two
// characters or an operation the port does not know. A part the port
// cannot type raises the Receiver fault "Unexpected error handling SOAP GET
// request.".
bool BindGetRequest(MessageHandler& handler, PortDescription& port, std::u16string_view extraPath,
                    std::u16string_view queryString);

}  // namespace qxsoap

#endif  // QXSOAP_RPC_GET_BINDING_H_
