// What the request and response binders share: the wrapper they bind, the
// check of its encodingStyle, the decoding of one accessor by its part's
// type, the appending of a parameter, and the faults of a binding.
#ifndef QXSOAP_RPC_BINDING_STEPS_H_
#define QXSOAP_RPC_BINDING_STEPS_H_

#include <string>
#include <string_view>

#include "decode/port_queries.h"
#include "decode/value_decoder.h"
#include "model/fault_record.h"

namespace qxsoap {

class MessageHandler;
class MessageParserEngine;

// Which message of the operation a binder reads.
enum class BoundMessage { kInput, kOutput };

[[noreturn]] void RaiseBadParameter(std::u16string_view name);

// The wrapper record the parser read; without one, the Sender fault
// "Unable to process RPC representation in SOAP message." (with a detail
// element for an encoded binding).
const AccessorHandler& RequireWrapper(const MessageParserEngine& parser, bool encoded);

// The style every encoded value of `message` must be in: the one the
// operation declares, or else the SOAP encoding of the message's version,
// which is what an encoded message is written in.
std::u16string ExpectedStyle(const MessageHandler& handler, PortDescription& port, BSTR operation,
                             BoundMessage message);

// A wrapper that states an encodingStyle other than `expected` raises
// `message` (Sender under SOAP 1.1, DataEncodingUnknown under SOAP 1.2,
// where the "no encoding" style passes).
void CheckWrapperStyle(const MessageHandler& handler, const AccessorHandler& wrapper,
                       std::u16string_view expected, const ValueDecoder& decoder,
                       std::u16string message);

// The value of `accessor` as `type`: encoded (references followed, a
// reference to nowhere naming `name` in its fault) in `expectedStyle`, or
// literal.
qxcom::Variant DecodePart(ValueDecoder& decoder, const AccessorHandler& accessor, const PortType& type,
                          bool encoded, std::u16string_view expectedStyle, std::u16string_view name);

// Appends a parameter with an empty namespace.
void AppendParameter(MessageHandler& handler, std::u16string_view name, qxcom::Variant value,
                     bool isIn, bool isOut);

// Under SOAP 1.2 a Sender fault of a binding without a subcode gets the
// BadArguments subcode of the RPC namespace.
void AddBindingSubcode(const MessageHandler& handler, QXSOAPFault& fault);

}  // namespace qxsoap

#endif  // QXSOAP_RPC_BINDING_STEPS_H_
