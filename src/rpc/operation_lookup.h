// ProcessRPC's checks before the parameters are bound: the operation that
// the Body's wrapper names, and the SOAPAction the request came with.
#ifndef QXSOAP_RPC_OPERATION_LOOKUP_H_
#define QXSOAP_RPC_OPERATION_LOOKUP_H_

#include "qxcom/types.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler;

// The method read from the message must be `operation` of the port, in the
// operation's namespace; otherwise the Sender fault "Unrecognized Remote
// Procedure" (with the ProcedureNotPresent subcode under SOAP 1.2).
void CheckOperation(const MessageHandler& handler, PortDescription& port, BSTR operation);

// Under SOAP 1.1, and under SOAP 1.2 when the operation requires it, the
// handler's SOAPAction must equal the operation's exactly.
void CheckSoapAction(const MessageHandler& handler, PortDescription& port, BSTR operation);

}  // namespace qxsoap

#endif  // QXSOAP_RPC_OPERATION_LOOKUP_H_
