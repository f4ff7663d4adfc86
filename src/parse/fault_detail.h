// A fault received from the next hop, moved into the handler: its code,
// subcode, string or reason texts and node become the handler's fault
// (marked as not raised here), and the entries of its detail element that
// the port describes for the operation become fault detail elements.
#ifndef QXSOAP_PARSE_FAULT_DETAIL_H_
#define QXSOAP_PARSE_FAULT_DETAIL_H_

#include "decode/value_decoder.h"
#include "parse/fault_handlers.h"

namespace qxsoap {

// Entries are read in document order, each by the use, encodingStyle and
// type the port gives the operation's fault detail of that name; an entry
// the port does not know is left out. An entry that cannot be read raises
// the Sender fault "Failed to convert element: '%s' in Fault detail." (a
// converter's own fault goes on unchanged); entries added before it stay.
void DeserializeFaultDetail(MessageHandler& handler, PortDescription& port, ValueDecoder& decoder,
                            const MessageParserEngine& parser, const FaultHandler& fault);

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_FAULT_DETAIL_H_
