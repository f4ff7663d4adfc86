// encode/envelopes.h: the two envelopes the serializer builds, as element
// trees for the XML writer.
#ifndef QXSOAP_ENCODE_ENVELOPES_H_
#define QXSOAP_ENCODE_ENVELOPES_H_

#include <cstddef>
#include <memory>

#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler;
class XmlElement;

// The first block of an envelope's tree: the smallest size the block pool
// keeps, so that the messages of a busy host are built in memory already
// mapped rather than fresh pages.
inline constexpr size_t kEnvelopeTreeBytes = size_t(64) << 10;

// The message envelope: a server's response, the request an intermediary
// forwards, or the response it passes back. Its header blocks are the
// handler's (literal ones first), its Body the handler's literal body in
// document style and for an intermediary, otherwise the RPC wrapper with
// the return value and every parameter in list order. Null when anything
// in it cannot be written. Raises the faults of the value writers.
std::unique_ptr<XmlElement> BuildMessageEnvelope(MessageHandler& handler, PortDescription& port);

// The fault envelope of the fault recorded in the handler: fault header
// blocks, then the Fault in the form of the message's SOAP version, with
// the detail entries the port can type. Null when a header block cannot be
// written; detail entries that cannot be written are left out.
std::unique_ptr<XmlElement> BuildFaultEnvelope(MessageHandler& handler, PortDescription& port);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_ENVELOPES_H_
