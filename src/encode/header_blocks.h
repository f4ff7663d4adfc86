// encode/header_blocks.h: the header blocks of an outgoing message, literal
// ones as the host gave their XML and typed ones written by the port's
// description of them.
#ifndef QXSOAP_ENCODE_HEADER_BLOCKS_H_
#define QXSOAP_ENCODE_HEADER_BLOCKS_H_

#include "model/header_lists.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler;
class ValueWriter;
class XmlElement;

// Appends the literal blocks of `blocks` in list order (each block's text
// parsed into an element), then the typed ones, under `header`. A typed
// block is typed by the operation's input header in the request phase, its
// output header in a message that is no fault and its fault header in a
// fault, else by any header of the port with its name; it is always written
// encoded, under the style the port gives it or the SOAP encoding of the
// message's version, and carries its actor or role, mustUnderstand and
// (SOAP 1.2) relay. False when a literal block does not parse or a typed
// one cannot be typed or written.
bool AppendHeaderBlocks(XmlElement& header, const HeaderLists& blocks, MessageHandler& handler,
                        PortDescription& port, ValueWriter& writer);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_HEADER_BLOCKS_H_
