// Binds the reply of the next hop, for an intermediary: the accessor that
// holds the return value becomes the handler's return value, and every
// other child of the result wrapper an output parameter, each decoded by
// the type the port gives the operation's output part.
#ifndef QXSOAP_RPC_RESPONSE_BINDING_H_
#define QXSOAP_RPC_RESPONSE_BINDING_H_

#include "qxcom/types.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler;
class MessageParserEngine;

// The return value is, under SOAP 1.1, the first child when the port says
// it is no parameter; under SOAP 1.2 the child the RPC `result` element
// names (VT_NULL when that names no child). `encoded`: the operation's
// output use is "encoded", so the wrapper's encodingStyle is checked and
// references are followed. Raises the binding's faults as BindRequest
// does; values bound before a fault stay.
void BindResponse(MessageHandler& handler, PortDescription& port, const MessageParserEngine& parser,
                  BSTR operation, bool encoded);

}  // namespace qxsoap

#endif  // QXSOAP_RPC_RESPONSE_BINDING_H_
