// Binds a request's parameters: each child of the Body's method wrapper is
// decoded by the type the port gives its input part and appended to the
// handler's parameters in document order; then every output-only part gets
// an empty typed placeholder, in ascending WSDL position, for the host to
// fill in. The name of the return value part goes to the handler's
// returnName.
#ifndef QXSOAP_RPC_REQUEST_BINDING_H_
#define QXSOAP_RPC_REQUEST_BINDING_H_

#include "qxcom/types.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler;
class MessageParserEngine;

// `encoded`: the operation's input use is "encoded", so the wrapper's
// encodingStyle is checked and references are followed; otherwise the
// values are literal. Raises the binding's faults; under SOAP 1.2 a Sender
// fault without a subcode gets the BadArguments subcode. Parameters
// appended before a fault stay.
void BindRequest(MessageHandler& handler, PortDescription& port, const MessageParserEngine& parser,
                 BSTR operation, bool encoded);

}  // namespace qxsoap

#endif  // QXSOAP_RPC_REQUEST_BINDING_H_
