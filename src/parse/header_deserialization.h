// The header blocks of a received message, read into the handler's header
// lists once the whole message is known: a block in the SOAP encoding with
// a type the port names becomes an automation value, any other block XML
// text. A request's blocks are typed by the operation's input headers, a
// response's by its output headers, or its fault headers when the response
// is a fault.
#ifndef QXSOAP_PARSE_HEADER_DESERIALIZATION_H_
#define QXSOAP_PARSE_HEADER_DESERIALIZATION_H_

#include <memory>
#include <span>

#include "decode/value_decoder.h"
#include "parse/header_handler.h"

namespace qxsoap {

// Adds the "next" role of the message's version to the handler's roles,
// then files `blocks` (elements of `tree`, which literal blocks keep alive)
// in document order, each marked as received. Types and
// encoding styles the message does not state come from the port's input
// headers of the handler's method. A fault ends the pass; blocks filed
// before it stay.
void DeserializeRequestHeaders(MessageHandler& handler, PortDescription& port,
                               ValueDecoder& decoder,
                               const std::shared_ptr<const XmlElement>& tree,
                               std::span<HeaderBlockHandler* const> blocks);

// The same for the blocks of a response from the next hop, without adding
// a role; `fault` says the response is a fault.
void DeserializeResponseHeaders(MessageHandler& handler, PortDescription& port,
                                ValueDecoder& decoder,
                                const std::shared_ptr<const XmlElement>& tree,
                                std::span<HeaderBlockHandler* const> blocks, bool fault);

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_HEADER_DESERIALIZATION_H_
